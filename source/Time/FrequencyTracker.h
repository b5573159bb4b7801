#pragma once

#include <cstdint>
#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsSpinLock.h"

class HcClock;

// How often an event happens, in events per second of a clock: AddSample
// records the clock's time in a ring of the last SampleWindow samples.
// TimeWindow is the span from the oldest to the newest sample; RunningAvg the
// number of intervals between them over that span. Times are kept in double
// precision relative to the first sample. Fewer than two samples (or no span
// at all) give 0.
class FrequencyTracker : public KsObject {
  HC_CLASS_HEADER(FrequencyTracker)
 public:
  enum : int32_t { kClockId = 200, kRunningAvgId = 201, kSampleWindowId = 202, kTimeWindowId = 203 };
  static constexpr uint32_t kDefaultSampleWindow = 128;
  // The largest ring a tracker takes (HcML may ask for anything).
  static constexpr uint32_t kMaxSampleWindow = 1u << 20;

  FrequencyTracker();
  ~FrequencyTracker() override;

  // Constant time, no allocation; nothing without a clock.
  void AddSample();
  float GetRunningAvg() const;
  float GetTimeWindow() const;

  uint32_t GetSampleWindow() const;
  // Empties the tracker; -2 for 0 or more than kMaxSampleWindow, -101 when
  // the ring can't be had (then nothing changes).
  eAppErr SetSampleWindow(uint32_t samples);
  KsRef<HcClock> GetClock() const;
  eAppErr SetClock(const KsRef<HcClock>& clock);

 private:
  // Oldest and newest sample and how many the ring holds (lock held).
  uint32_t HeldSamples(double* oldest, double* newest) const;

  mutable KsSpinLock m_lock;
  KsRef<HcClock> m_clock;
  std::vector<double> m_ring;
  uint64_t m_count = 0;
  double m_origin = 0.0;
};
HC_CLASS_OBJECT(FrequencyTracker, KsObject)
