#include "General/CocoaMethod.h"
#include "Time/HcMovieClock.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcMovieClock, HcClock, "HcMovieClock")

void HcMovieClock::HcMovieClockClass::SetupProperties() {
  AddObjCInstanceMethods({CocoaMethod<&HcMovieClock::MakeRelativeTo>("makeRelativeTo:withOffset:", "i@:@q")});
  using namespace KsPropertyType;
  using F = HcMovieClock;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, KsObject>::Create(self, kMovieArbId, "MovieArb", false, &F::GetMovieArb,
                                                             &F::SetMovieArb));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kRateId, kFloat, "Rate", false, &F::GetRate, &F::SetRate));
  AddProperty(
      HcPropertyDirectGet<F, double>::Create(self, kDurationId, kDouble, "Duration", false, &F::GetDuration, nullptr));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kSelectionStartId, kDouble, "SelectionStart", false,
                                                     &F::GetSelectionStart, &F::SetSelectionStart));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kSelectionEndId, kDouble, "SelectionEnd", false,
                                                     &F::GetSelectionEnd, &F::SetSelectionEnd));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kIsLoopingId, kBool, "IsLooping", false, &F::GetIsLooping,
                                                   &F::SetIsLooping));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kSelectionOnlyId, kBool, "SelectionOnly", false,
                                                   &F::GetSelectionOnly, &F::SetSelectionOnly));
}
