#include "Time/HcManualClock.h"

HcManualClock::HcManualClock() = default;
HcManualClock::~HcManualClock() = default;

eAppErr HcManualClock::SetTimeNow(double seconds) {
  m_timeNow.store(seconds, std::memory_order_relaxed);
  return AppErr::kNoErr;
}
