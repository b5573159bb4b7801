#include "Time/ConditionalTween.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(ConditionalTween, HcTween, "ConditionalTween")
void ConditionalTween::ConditionalTweenClass::SetupProperties() {
  using F = ConditionalTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcTween>::Create(self, kTrueTweenId, "TrueTween", true, &F::GetTrueTween,
                                                            &F::SetTrueTween));
  AddProperty(HcPropertyObjectDirectGet<F, HcTween>::Create(self, kFalseTweenId, "FalseTween", true,
                                                            &F::GetFalseTween, &F::SetFalseTween));
}
