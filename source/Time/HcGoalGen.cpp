#include "Time/HcGoal.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcGoal, KsObject, "HcGoal")
void HcGoal::HcGoalClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcGoal;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyObjectDirectGet<F, KsObject>::Create(self, kTargetId, "Target", true, &F::GetTarget, &F::SetTarget));
  AddProperty(HcPropertyDirectGet<F, PWStringRef>::Create(self, kPropertyNameId, kString, "PropertyName", true,
                                                          &F::GetPropertyName, &F::SetPropertyName));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kValueId, kFloat, "Value", true, &F::GetValue, &F::SetValue));
}
