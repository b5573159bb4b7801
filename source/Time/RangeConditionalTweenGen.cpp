#include "Time/RangeConditionalTween.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(RangeConditionalTween, ConditionalTween, "RangeConditionalTween")
void RangeConditionalTween::RangeConditionalTweenClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = RangeConditionalTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(
      self, kTargetPropertyId, "TargetProperty", true, &F::GetTargetProperty, &F::SetTargetProperty));
  AddProperty(
      HcPropertyDirectGet<F, double>::Create(self, kOffsetId, kDouble, "Offset", true, &F::GetOffset, &F::SetOffset));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kRangeMinId, kDouble, "RangeMin", true, &F::GetRangeMin,
                                                     &F::SetRangeMin));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kRangeMaxId, kDouble, "RangeMax", true, &F::GetRangeMax,
                                                     &F::SetRangeMax));
}
