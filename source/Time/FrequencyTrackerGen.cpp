#include "General/CocoaMethod.h"
#include "Time/FrequencyTracker.h"
#include "Time/HcClock.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(FrequencyTracker, KsObject, "FrequencyTracker")

void FrequencyTracker::FrequencyTrackerClass::SetupProperties() {
  AddObjCInstanceMethods({CocoaMethod<&FrequencyTracker::AddSample>("sampleNow", "v@:")});
  using namespace KsPropertyType;
  using F = FrequencyTracker;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyObjectDirectGet<F, HcClock>::Create(self, kClockId, "Clock", true, &F::GetClock, &F::SetClock));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kRunningAvgId, kFloat, "RunningAvg", false,
                                                    &F::GetRunningAvg, nullptr));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kSampleWindowId, kUInt, "SampleWindow", true,
                                                       &F::GetSampleWindow, &F::SetSampleWindow));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kTimeWindowId, kFloat, "TimeWindow", false,
                                                    &F::GetTimeWindow, nullptr));
}
