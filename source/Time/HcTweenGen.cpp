#include "Time/HcClock.h"
#include "Time/HcTween.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(HcTween, KsObject, "HcTween")
void HcTween::HcTweenClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kStartTimeId, kDouble, "StartTime", true,
                                                     &F::GetStartTime, &F::SetStartTime));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kEndTimeId, kDouble, "EndTime", true, &F::GetEndTime,
                                                     &F::SetEndTime));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kEnabledId, kBool, "Enabled", true, &F::GetEnabled,
                                                   &F::SetEnabled));
  AddProperty(
      HcPropertyObjectDirectGet<F, HcClock>::Create(self, kClockId, "Clock", true, &F::GetClock, &F::SetClock));
}
