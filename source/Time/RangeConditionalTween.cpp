#include "Time/RangeConditionalTween.h"

#include "Utilities/HcPropertyBindingBase.h"

RangeConditionalTween::RangeConditionalTween() = default;
RangeConditionalTween::~RangeConditionalTween() = default;

bool RangeConditionalTween::EvaluateCondition() {
  double value = 0.0;
  KsRef<HcPropertyBindingBase> binding = m_targetProperty;
  if (binding && AppErrFailed(binding->GetValue(&value))) value = 0.0;
  const double d = value - m_offset;
  return m_rangeMin < d && d < m_rangeMax;
}

eAppErr RangeConditionalTween::SetTargetProperty(const KsRef<HcPropertyBindingBase>& binding) {
  m_targetProperty = binding;
  return AppErr::kNoErr;
}

eAppErr RangeConditionalTween::SetOffset(double offset) {
  m_offset = offset;
  return AppErr::kNoErr;
}

eAppErr RangeConditionalTween::SetRangeMin(double value) {
  m_rangeMin = value;
  return AppErr::kNoErr;
}

eAppErr RangeConditionalTween::SetRangeMax(double value) {
  m_rangeMax = value;
  return AppErr::kNoErr;
}
