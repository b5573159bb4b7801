#include "Time/HcFloatForwardingTween.h"

#include "KsTrace.h"
#include "Utilities/HcPropertyBindingBase.h"

HcFloatForwardingTween::HcFloatForwardingTween() = default;
HcFloatForwardingTween::~HcFloatForwardingTween() = default;

eAppErr HcFloatForwardingTween::DoEvaluate(double, const KsRef<HcClock>&) {
  KsRef<HcPropertyBindingBase> target = GetBinding();
  if (!target) return AppErr::kNoErr;
  KsRef<HcPropertyBindingBase> source = GetSourceBinding();
  if (!source) return AppErr::kNoErr;
  float sourceValue = 0.0f;
  eAppErr err = source->GetValue(&sourceValue);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoEvaluate");
  const float value = (sourceValue + m_offset) * m_scale;
  if (m_optimizeSets) {
    float current = 0.0f;
    err = target->GetValue(&current);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoEvaluate");
    const float difference = current - value;
    if (difference > -1e-05f && difference < 1e-05f) return kNothingDone;
  }
  err = target->SetValue(value);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DoEvaluate");
  return err;
}

KsRef<HcPropertyBindingBase> HcFloatForwardingTween::GetSourceBinding() const {
  KsSpinLockGuard guard(m_sourceLock);
  return m_sourceBinding;
}

eAppErr HcFloatForwardingTween::SetSourceBinding(const KsRef<HcPropertyBindingBase>& binding) {
  KsRef<HcPropertyBindingBase> old;
  {
    KsSpinLockGuard guard(m_sourceLock);
    old = m_sourceBinding;
    m_sourceBinding = binding;
  }
  return AppErr::kNoErr;
}

eAppErr HcFloatForwardingTween::SetScale(float scale) {
  m_scale = scale;
  return AppErr::kNoErr;
}

eAppErr HcFloatForwardingTween::SetOffset(float offset) {
  m_offset = offset;
  return AppErr::kNoErr;
}

eAppErr HcFloatForwardingTween::SetOptimizeSets(bool optimize) {
  m_optimizeSets = optimize;
  return AppErr::kNoErr;
}
