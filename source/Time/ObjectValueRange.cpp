#include "Time/ObjectValueRange.h"

ObjectValueRange::ObjectValueRange() = default;
ObjectValueRange::~ObjectValueRange() = default;

int32_t ObjectValueRange::CompareWithTime(int64_t t) const {
  if (t < m_startTime) return -1;
  return t < m_endTime ? 0 : 1;
}

KsRef<ObjectValueRange> ObjectValueRange::CopyRange() const {
  auto copy = KsMakeRef<ObjectValueRange>();
  copy->SetStartTime(m_startTime);
  copy->SetEndTime(m_endTime);
  copy->SetObjectValue(m_objectValue);
  return copy;
}

eAppErr ObjectValueRange::SetObjectValue(const KsRef<KsObject>& value) {
  DidChangeCaller change(this, kObjectValueId);
  m_objectValue = value;
  return AppErr::kNoErr;
}

eAppErr ObjectValueRange::SetStartTime(int64_t time) {
  DidChangeCaller change(this, kStartTimeId);
  m_startTime = time;
  return AppErr::kNoErr;
}

eAppErr ObjectValueRange::SetEndTime(int64_t time) {
  DidChangeCaller change(this, kEndTimeId);
  m_endTime = time;
  return AppErr::kNoErr;
}
