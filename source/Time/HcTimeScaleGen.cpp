#include "General/CocoaMethod.h"
#include "Time/HcTimeScale.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(HcTimeScale, KsObject, "HcTimeScale")

namespace {

// The bridge keeps the count-only answer of the selector: -1 when there is
// no scale to convert from.
int64_t ConvertValueForBridge(HcTimeScale& self, int64_t value, KsRef<HcTimeScale> from, bool requantize,
                              bool forceRoundDown) {
  int64_t result = -1;
  self.ConvertValue(value, from, requantize, forceRoundDown, &result);
  return result;
}

hc::runtime::MethodList BridgedInstanceMethods() {
  using F = HcTimeScale;
  return {
      CocoaMethod<&F::StandardTimeScaleEnum>("standardTimeScaleEnum", "i@:"),
      CocoaMethod<&F::TimeValueToSeconds>("timeValueToSeconds:", "d@:q"),
      CocoaMethod<&F::SecondsToTimeValue>("secondsToTimeValue:", "q@:d"),
      CocoaMethod<&ConvertValueForBridge>("convertValue:fromTimeScale:requantize:forceRoundDown:", "q@:q@BB"),
      CocoaMethod<&F::ConvertValueInSeconds>("convertValueInSeconds:requantize:forceRoundDown:", "q@:dBB"),
      CocoaMethod<&F::ScaleValue>("scaleValue:byRate:quantize:trueRate:", "q@:qdB^d"),
      CocoaMethod<&F::IsEqual>("isEqual:", "B@:@"),
  };
}

}  // namespace

void HcTimeScale::HcTimeScaleClass::SetupProperties() {
  AddObjCInstanceMethods(BridgedInstanceMethods());
  AddObjCClassMethods({CocoaClassMethod<&HcTimeScale::MakeStandardTimeScale>("makeStandardTimeScale:", "@@:i")});
  using namespace KsPropertyType;
  using F = HcTimeScale;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kTimeScaleId, kInt, "TimeScale", true, &F::GetTimeScale,
                                                      &F::SetTimeScale));
  AddProperty(HcPropertyDirectGet<F, int64_t>::Create(self, kGranularityId, kInt64, "Granularity", true,
                                                      &F::GetGranularity, &F::SetGranularity));
}
