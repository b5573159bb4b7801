#include "Time/HcPropertyTween.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(HcPropertyTween, HcTween, "HcPropertyTween")
void HcPropertyTween::HcPropertyTweenClass::SetupProperties() {
  using F = HcPropertyTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(self, kBindingId, "Binding", true,
                                                                          &F::GetBinding, &F::SetBinding));
}
