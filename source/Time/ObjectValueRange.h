#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// An object value valid over the half-open stretch [StartTime, EndTime) of
// 64-bit time values (counts of the time scale of whoever holds the range).
class ObjectValueRange : public KsObject {
  HC_CLASS_HEADER(ObjectValueRange)
 public:
  enum : int32_t { kObjectValueId = 200, kStartTimeId = 201, kEndTimeId = 202 };

  ObjectValueRange();
  ~ObjectValueRange() override;

  bool IsInRange(int64_t t) const { return m_startTime <= t && t < m_endTime; }
  // -1 before the range, 0 inside, 1 at or after its end.
  int32_t CompareWithTime(int64_t t) const;
  bool HasObjectValue() const { return static_cast<bool>(m_objectValue); }
  // A new range with the same times and the same (shared) object value.
  KsRef<ObjectValueRange> CopyRange() const;

  KsRef<KsObject> GetObjectValue() const { return m_objectValue; }
  eAppErr SetObjectValue(const KsRef<KsObject>& value);
  int64_t GetStartTime() const { return m_startTime; }
  eAppErr SetStartTime(int64_t time);
  int64_t GetEndTime() const { return m_endTime; }
  eAppErr SetEndTime(int64_t time);

 private:
  KsRef<KsObject> m_objectValue;
  int64_t m_startTime = 0;
  int64_t m_endTime = 0;
};
HC_CLASS_OBJECT(ObjectValueRange, KsObject)
