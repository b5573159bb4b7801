#include "Time/HcAbsVelocityTween.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(HcAbsVelocityTween, HcPropertyTween, "HcAbsVelocityTween")
void HcAbsVelocityTween::HcAbsVelocityTweenClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcAbsVelocityTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kVelocityId, kFloat, "Velocity", true, &F::GetVelocity,
                                                    &F::SetVelocity));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kModulusId, kFloat, "Modulus", true, &F::GetModulus,
                                                    &F::SetModulus));
}
