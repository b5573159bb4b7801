#pragma once

#include <cstdint>

#include "Time/HcPropertyTween.h"
#include "General/Int64Collection.h"
#include "Time/HcTimeScale.h"
#include "Time/ObjectValueRangeCollection.h"

// Switches a property between objects over time: whenever the clock's time
// leaves the current range, the range that holds the new time becomes
// current and its object (or none, between ranges) is written through the
// binding. Range times count units of TimeScale (6000 per second unless set).
// Known to HcML as "HcValueRangeTween".
class ObjectValueRangeTween : public HcPropertyTween {
  HC_CLASS_HEADER(ObjectValueRangeTween)
 public:
  enum : int32_t {
    kValueRangesId = 400,
    kTimeScaleId = 401,
    kCurrentValueRangeId = 402,
    kStartTimeTSId = 403,
    kEndTimeTSId = 404,
  };

  ObjectValueRangeTween();
  ~ObjectValueRangeTween() override;

  // 0 when it switched ranges, 2 when the time stayed in the current one,
  // -2 without a time scale.
  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override;

  // The first range (in collection order) holding the time. With an index,
  // the scan stops at the first range starting after the time and stores
  // where it stopped (left untouched when the ranges run out).
  KsRef<ObjectValueRange> GetValueRangeAtTime(int64_t time, uint32_t* index = nullptr);
  // Inserts before the first range starting at or after the new one's
  // start; -2 for no range.
  eAppErr AddRange(const KsRef<ObjectValueRange>& range);
  // A new tween whose ranges are this tween's valued runs, with the other
  // tween's ranges in every stretch between them; none when the other is
  // missing or counts time differently.
  KsRef<ObjectValueRangeTween> MergeWithRangeTween(const KsRef<ObjectValueRangeTween>& other);
  eAppErr ResetStartEndTimes();
  // Copies of the ranges overlapping [from, to), the last one cut at `to`;
  // with fillGaps, empty ranges stand for the stretches before the first and
  // after the last.
  KsRef<ObjectValueRangeCollection> CopyRangesBetween(int64_t from, int64_t to, bool fillGaps);
  // Start and end of each maximal run of abutting ranges with object values.
  KsRef<Int64Collection> GetValuedRunTimes();

  KsRef<ObjectValueRangeCollection> GetValueRanges() const { return m_valueRanges; }
  eAppErr SetValueRanges(const KsRef<ObjectValueRangeCollection>& ranges);
  KsRef<HcTimeScale> GetTimeScale() const { return m_timeScale; }
  eAppErr SetTimeScale(const KsRef<HcTimeScale>& timeScale);
  KsRef<ObjectValueRange> GetCurrentValueRange() const { return m_currentValueRange; }
  // Makes the range current and writes its object through the binding.
  eAppErr SetCurrentValueRange(const KsRef<ObjectValueRange>& range);
  int64_t GetStartTimeTS() const { return m_startTimeTS; }
  eAppErr SetStartTimeTS(int64_t time);
  int64_t GetEndTimeTS() const { return m_endTimeTS; }
  eAppErr SetEndTimeTS(int64_t time);

 private:
  KsRef<ObjectValueRangeCollection> m_valueRanges;
  KsRef<ObjectValueRange> m_currentValueRange;
  KsRef<HcTimeScale> m_timeScale;
  int64_t m_startTimeTS = 0;
  int64_t m_endTimeTS = 0;
};
HC_CLASS_OBJECT(ObjectValueRangeTween, HcPropertyTween)
