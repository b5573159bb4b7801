#include "Time/HcGoalCollection.h"
#include "Time/HcTransition.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcTransition, HcTween, "HcTransition")
void HcTransition::HcTransitionClass::SetupProperties() {
  using F = HcTransition;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kDurationId, KsPropertyType::kDouble, "Duration", true,
                                                     &F::GetDuration, &F::SetDuration));
  AddProperty(
      HcPropertyObjectDirectGet<F, KsObject>::Create(self, kTargetId, "Target", true, &F::GetTarget, &F::SetTarget));
  AddProperty(
      HcPropertyObjectDirectGet<F, HcGoalCollection>::Create(self, kGoalsId, "Goals", true, &F::GetGoals, &F::SetGoals));
}
