#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "PWString.h"
#include "Time/HcSmoothFloatTween.h"

// One goal of a transition: the float property PropertyName of Target (or
// of the transition's Target) is to reach Value.
class HcGoal : public KsObject {
  HC_CLASS_HEADER(HcGoal)
 public:
  enum : int32_t { kTargetId = 200, kPropertyNameId = 201, kValueId = 203 };

  HcGoal();
  ~HcGoal() override;

  KsRef<KsObject> GetTarget() const { return m_target; }
  eAppErr SetTarget(const KsRef<KsObject>& target);
  PWStringRef GetPropertyName() const { return m_propertyName; }
  eAppErr SetPropertyName(const PWStringRef& name);
  float GetValue() const { return m_value; }
  eAppErr SetValue(float value);

  // The eased tween a transition made for this goal (none before its first start).
  KsRef<HcSmoothFloatTween> GetTween() const { return m_tween; }
  eAppErr SetTween(const KsRef<HcSmoothFloatTween>& tween);

 private:
  KsRef<KsObject> m_target;
  PWStringRef m_propertyName;
  KsRef<HcSmoothFloatTween> m_tween;
  float m_value = 0.0f;
};
HC_CLASS_OBJECT(HcGoal, KsObject)
