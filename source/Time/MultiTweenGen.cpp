#include "Time/HcTweenCollection.h"
#include "Time/MultiTween.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(MultiTween, HcTween, "MultiTween")
void MultiTween::MultiTweenClass::SetupProperties() {
  using F = MultiTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcTweenCollection>::Create(self, kTweensId, "Tweens", true,
                                                                      &F::GetTweens, &F::SetTweens));
}
