#include "Time/HcVelocityTween.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(HcVelocityTween, HcPropertyTween, "HcVelocityTween")
void HcVelocityTween::HcVelocityTweenClass::SetupProperties() {
  using F = HcVelocityTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kVelocityId, KsPropertyType::kFloat, "Velocity", true,
                                                    &F::GetVelocity, &F::SetVelocity));
}
