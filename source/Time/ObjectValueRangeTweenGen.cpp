#include "General/CocoaMethod.h"
#include "Time/HcTimeScale.h"
#include "Time/ObjectValueRangeCollection.h"
#include "Time/ObjectValueRangeTween.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(ObjectValueRangeTween, HcPropertyTween, "HcValueRangeTween")

namespace {

KsRef<ObjectValueRange> ValueRangeAtTime(ObjectValueRangeTween& self, int64_t time, uint32_t* index) {
  return self.GetValueRangeAtTime(time, index);
}

hc::runtime::MethodList RangeTweenBridgedMethods() {
  using F = ObjectValueRangeTween;
  return {
      CocoaMethod<&F::AddRange>("addRangerange:", "i@:@"),
      CocoaMethod<&F::MergeWithRangeTween>("mergeWithRangeTweenmergeTween:", "@@:@"),
      CocoaMethod<&ValueRangeAtTime>("getValueRangeAtTimetime:outIndex:", "@@:q^I"),
  };
}

}  // namespace

void ObjectValueRangeTween::ObjectValueRangeTweenClass::SetupProperties() {
  AddObjCInstanceMethods(RangeTweenBridgedMethods());
  using namespace KsPropertyType;
  using F = ObjectValueRangeTween;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, ObjectValueRangeCollection>::Create(
      self, kValueRangesId, "ValueRanges", true, &F::GetValueRanges, &F::SetValueRanges));
  AddProperty(HcPropertyObjectDirectGet<F, HcTimeScale>::Create(self, kTimeScaleId, "TimeScale", true,
                                                                &F::GetTimeScale, &F::SetTimeScale));
  AddProperty(HcPropertyObjectDirectGet<F, ObjectValueRange>::Create(
      self, kCurrentValueRangeId, "CurrentValueRange", false, &F::GetCurrentValueRange, &F::SetCurrentValueRange));
  AddProperty(HcPropertyDirectGet<F, int64_t>::Create(self, kStartTimeTSId, kInt64, "StartTimeTS", true,
                                                      &F::GetStartTimeTS, &F::SetStartTimeTS));
  AddProperty(HcPropertyDirectGet<F, int64_t>::Create(self, kEndTimeTSId, kInt64, "EndTimeTS", true,
                                                      &F::GetEndTimeTS, &F::SetEndTimeTS));
}
