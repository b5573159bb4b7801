#include "Time/HcStaticFloatTween.h"

#include "Utilities/HcPropertyBindingBase.h"

namespace {
constexpr eAppErr kNoBinding = -6;
}  // namespace

eAppErr WriteTweenFloat(HcPropertyTween& tween, float value) {
  KsRef<HcPropertyBindingBase> binding = tween.GetBinding();
  if (!binding) return kNoBinding;
  return binding->SetValue(value);
}

HcStaticFloatTween::HcStaticFloatTween() = default;
HcStaticFloatTween::~HcStaticFloatTween() = default;

eAppErr HcStaticFloatTween::DoEvaluate(double, const KsRef<HcClock>&) { return WriteTweenFloat(*this, m_value); }

eAppErr HcStaticFloatTween::SetValue(float value) {
  m_value = value;
  return AppErr::kNoErr;
}
