#pragma once

#include "General/KsSpinLock.h"
#include "Time/HcPropertyTween.h"

// Forwards another float property: writes (source + Offset) · Scale, and,
// with OptimizeSets, leaves a target alone (answering 2) that already holds
// the value within 1e-5.
class HcFloatForwardingTween : public HcPropertyTween {
  HC_CLASS_HEADER(HcFloatForwardingTween)
 public:
  enum : int32_t { kScaleId = 400, kOffsetId = 401, kOptimizeSetsId = 402, kSourceBindingId = 403 };

  HcFloatForwardingTween();
  ~HcFloatForwardingTween() override;

  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  KsRef<HcPropertyBindingBase> GetSourceBinding() const;
  eAppErr SetSourceBinding(const KsRef<HcPropertyBindingBase>& binding);
  float GetScale() const { return m_scale; }
  eAppErr SetScale(float scale);
  float GetOffset() const { return m_offset; }
  eAppErr SetOffset(float offset);
  bool GetOptimizeSets() const { return m_optimizeSets; }
  eAppErr SetOptimizeSets(bool optimize);

 private:
  mutable KsSpinLock m_sourceLock;
  KsRef<HcPropertyBindingBase> m_sourceBinding;
  float m_scale = 1.0f;
  float m_offset = 0.0f;
  bool m_optimizeSets = true;
};
HC_CLASS_OBJECT(HcFloatForwardingTween, HcPropertyTween)
