#include "Time/ConvergentTransition.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(ConvergentTransition, HcTransition, "ConvergentTransition")
void ConvergentTransition::ConvergentTransitionClass::SetupProperties() {
  using F = ConvergentTransition;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcTween>::Create(self, kTargetTweenId, "TargetTween", true,
                                                            &F::GetTargetTween, &F::SetTargetTween));
}
