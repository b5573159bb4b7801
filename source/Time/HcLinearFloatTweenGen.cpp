#include "Time/HcLinearFloatTween.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(HcLinearFloatTween, HcPropertyTween, "HcLinearFloatTween")
void HcLinearFloatTween::HcLinearFloatTweenClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcLinearFloatTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kStartValueId, kFloat, "StartValue", true,
                                                    &F::GetStartValue, &F::SetStartValue));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kEndValueId, kFloat, "EndValue", true, &F::GetEndValue,
                                                    &F::SetEndValue));
}
