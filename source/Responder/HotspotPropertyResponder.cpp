#include "Responder/HotspotPropertyResponder.h"

#include "Utilities/HcPropertyBindingBase.h"

HotspotPropertyResponder::HotspotPropertyResponder() = default;
HotspotPropertyResponder::~HotspotPropertyResponder() = default;

bool HotspotPropertyResponder::MouseMoved(const KsPointF&, uint32_t*) { return true; }

eAppErr HotspotPropertyResponder::SetDataChannel(int32_t channel) {
  m_dataChannel = channel;
  return AppErr::kNoErr;
}

eAppErr HotspotPropertyResponder::SetBias(float bias) {
  m_bias = bias;
  return AppErr::kNoErr;
}

eAppErr HotspotPropertyResponder::SetScale(float scale) {
  m_scale = scale;
  return AppErr::kNoErr;
}

KsRef<HcPropertyBindingBase> HotspotPropertyResponder::GetTargetProperty() const { return m_targetProperty; }

eAppErr HotspotPropertyResponder::SetTargetProperty(const KsRef<HcPropertyBindingBase>& binding) {
  m_targetProperty = binding;
  return AppErr::kNoErr;
}
