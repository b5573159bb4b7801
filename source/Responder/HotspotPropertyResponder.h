#pragma once

#include "Responder/MouseResponder.h"
#include "Utilities/HcPropertyBindingBase.h"

// Carries the settings of a hotspot mapping (a data channel, a bias, a scale
// and the property they would drive) through HcML; no operation applies
// them. It handles events as the base does, except that it swallows moves
// without recording them.
class HotspotPropertyResponder : public MouseResponder {
  HC_CLASS_HEADER(HotspotPropertyResponder)
 public:
  enum : int32_t { kDataChannelId = 300, kTargetPropertyId = 301, kScaleId = 302, kBiasId = 303 };

  HotspotPropertyResponder();
  ~HotspotPropertyResponder() override;

  bool MouseMoved(const KsPointF& point, uint32_t* cursor) override;

  int32_t GetDataChannel() const { return m_dataChannel; }
  eAppErr SetDataChannel(int32_t channel);
  float GetBias() const { return m_bias; }
  eAppErr SetBias(float bias);
  float GetScale() const { return m_scale; }
  eAppErr SetScale(float scale);
  KsRef<HcPropertyBindingBase> GetTargetProperty() const;
  eAppErr SetTargetProperty(const KsRef<HcPropertyBindingBase>& binding);

 private:
  int32_t m_dataChannel = 1;
  float m_bias = 0.0f;
  float m_scale = 1.0f;
  KsRef<HcPropertyBindingBase> m_targetProperty;
};
HC_CLASS_OBJECT(HotspotPropertyResponder, MouseResponder)
