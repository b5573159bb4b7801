#include "Time/HcTween.h"

#include "KsTrace.h"
#include "Time/HcClock.h"

namespace {

constexpr int kMaxNesting = 64;
thread_local int t_nesting = 0;

// A negative bound, and NaN, leave that side open.
bool IsBound(double bound) { return bound >= 0.0; }

}  // namespace

HcTween::HcTween() = default;
HcTween::~HcTween() = default;

bool HcTween::IsInWindow(double t) const {
  const double start = GetStartTime();
  if (IsBound(start) && start > t) return false;
  const double end = GetEndTime();
  return !(IsBound(end) && t > end);
}

eAppErr HcTween::Evaluate(double t, const KsRef<HcClock>& clock) {
  if (!GetEnabled()) return kNothingDone;
  if (!IsInWindow(t)) return kOutsideWindow;
  return DoEvaluate(t, clock);
}

eAppErr HcTween::EvaluateNested(const KsRef<HcTween>& tween, double t, const KsRef<HcClock>& clock) {
  if (!tween) return AppErr::kNoErr;
  if (t_nesting >= kMaxNesting) return KS_TRACE_ERR(AppErr::kBadArgument, "EvaluateNested");
  ++t_nesting;
  const eAppErr result = tween->Evaluate(t, clock);
  --t_nesting;
  return result;
}

eAppErr HcTween::SetStartTime(double seconds) {
  m_startTime.store(seconds, std::memory_order_relaxed);
  return AppErr::kNoErr;
}

eAppErr HcTween::SetEndTime(double seconds) {
  m_endTime.store(seconds, std::memory_order_relaxed);
  return AppErr::kNoErr;
}

eAppErr HcTween::SetEnabled(bool enabled) {
  m_enabled.store(enabled, std::memory_order_relaxed);
  return AppErr::kNoErr;
}

KsRef<HcClock> HcTween::GetClock() const {
  KsSpinLockGuard guard(m_clockLock);
  return m_clock;
}

void HcTween::StoreClock(const KsRef<HcClock>& clock) {
  KsRef<HcClock> old;
  {
    KsSpinLockGuard guard(m_clockLock);
    old = m_clock;
    m_clock = clock;
  }
  // The old clock is released outside the lock.
}

eAppErr HcTween::SetClock(const KsRef<HcClock>& clock) {
  KsRef<HcTween> self = ThisRef();
  if (KsRef<HcClock> old = GetClock()) old->DetachTween(self);
  StoreClock(clock);
  if (!clock) return AppErr::kNoErr;
  return clock->AttachTween(self);
}
