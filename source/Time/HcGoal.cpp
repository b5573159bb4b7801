#include "Time/HcGoal.h"

#include "Time/HcSmoothFloatTween.h"

HcGoal::HcGoal() = default;
HcGoal::~HcGoal() = default;

eAppErr HcGoal::SetTarget(const KsRef<KsObject>& target) {
  m_target = target;
  return AppErr::kNoErr;
}

eAppErr HcGoal::SetPropertyName(const PWStringRef& name) {
  m_propertyName = name;
  return AppErr::kNoErr;
}

eAppErr HcGoal::SetValue(float value) {
  m_value = value;
  return AppErr::kNoErr;
}

eAppErr HcGoal::SetTween(const KsRef<HcSmoothFloatTween>& tween) {
  m_tween = tween;
  return AppErr::kNoErr;
}
