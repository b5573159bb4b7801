#pragma once

#include <atomic>

#include "Time/HcClock.h"

// A clock whose time is whatever was last set (0.0 when made).
class HcManualClock : public HcClock {
  HC_CLASS_HEADER(HcManualClock)
 public:
  HcManualClock();
  ~HcManualClock() override;

  double GetTimeNow() override { return m_timeNow.load(std::memory_order_relaxed); }
  // Stores the time; no notice, Dirty untouched.
  eAppErr SetTimeNow(double seconds) override;

 private:
  std::atomic<double> m_timeNow{0.0};
};
HC_CLASS_OBJECT(HcManualClock, HcClock)
