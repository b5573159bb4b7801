#include "Time/HcStaticFloatTween.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(HcStaticFloatTween, HcPropertyTween, "HcStaticFloatTween")
void HcStaticFloatTween::HcStaticFloatTweenClass::SetupProperties() {
  using F = HcStaticFloatTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kValueId, KsPropertyType::kFloat, "Value", true,
                                                    &F::GetValue, &F::SetValue));
}
