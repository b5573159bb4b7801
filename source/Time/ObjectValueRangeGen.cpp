#include "General/CocoaMethod.h"
#include "Time/ObjectValueRange.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(ObjectValueRange, KsObject, "ObjectValueRange")

namespace {

hc::runtime::MethodList RangeBridgedMethods() {
  using F = ObjectValueRange;
  return {
      CocoaMethod<&F::IsInRange>("isInRangetime:", "B@:q"),
      CocoaMethod<&F::CompareWithTime>("compareWithTimecompareTime:", "i@:q"),
      CocoaMethod<&F::HasObjectValue>("hasObjectValue", "B@:"),
      CocoaMethod<&F::CopyRange>("copyRange", "@@:"),
  };
}

}  // namespace

void ObjectValueRange::ObjectValueRangeClass::SetupProperties() {
  AddObjCInstanceMethods(RangeBridgedMethods());
  using namespace KsPropertyType;
  using F = ObjectValueRange;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, KsObject>::Create(self, kObjectValueId, "ObjectValue", true,
                                                             &F::GetObjectValue, &F::SetObjectValue));
  AddProperty(HcPropertyDirectGet<F, int64_t>::Create(self, kStartTimeId, kInt64, "StartTime", true,
                                                      &F::GetStartTime, &F::SetStartTime));
  AddProperty(HcPropertyDirectGet<F, int64_t>::Create(self, kEndTimeId, kInt64, "EndTime", true, &F::GetEndTime,
                                                      &F::SetEndTime));
}
