#include "Time/FrequencyTracker.h"

#include <new>

#include "KsTrace.h"
#include "Time/QTSystemClock.h"

FrequencyTracker::FrequencyTracker() : m_clock(QTSystemClock::GetSharedClock()) {
  SetSampleWindow(kDefaultSampleWindow);
}

FrequencyTracker::~FrequencyTracker() = default;

void FrequencyTracker::AddSample() {
  KsRef<HcClock> clock = GetClock();
  if (!clock) return;
  const double t = clock->GetTimeNow();
  KsSpinLockGuard guard(m_lock);
  if (m_ring.empty()) return;
  if (m_count == 0) m_origin = t;
  m_ring[m_count % m_ring.size()] = t - m_origin;
  ++m_count;
}

uint32_t FrequencyTracker::HeldSamples(double* oldest, double* newest) const {
  const uint64_t window = m_ring.size();
  if (window == 0 || m_count == 0) return 0;
  *newest = m_ring[(m_count - 1) % window];
  *oldest = m_count < window ? m_ring[0] : m_ring[m_count % window];
  return static_cast<uint32_t>(m_count < window ? m_count : window);
}

float FrequencyTracker::GetTimeWindow() const {
  KsSpinLockGuard guard(m_lock);
  double oldest = 0.0, newest = 0.0;
  if (HeldSamples(&oldest, &newest) < 2) return 0.0f;
  return static_cast<float>(newest - oldest);
}

float FrequencyTracker::GetRunningAvg() const {
  KsSpinLockGuard guard(m_lock);
  double oldest = 0.0, newest = 0.0;
  const uint32_t held = HeldSamples(&oldest, &newest);
  const double span = newest - oldest;
  if (held < 2 || !(span > 0.0)) return 0.0f;
  return static_cast<float>((held - 1) / span);
}

uint32_t FrequencyTracker::GetSampleWindow() const {
  KsSpinLockGuard guard(m_lock);
  return static_cast<uint32_t>(m_ring.size());
}

eAppErr FrequencyTracker::SetSampleWindow(uint32_t samples) {
  DidChangeCaller change(this, kSampleWindowId);
  if (samples == 0 || samples > kMaxSampleWindow) return KS_TRACE_ERR(AppErr::kBadArgument, "SetSampleWindow");
  std::vector<double> ring;
  try {
    ring.resize(samples);
  } catch (const std::bad_alloc&) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, "SetSampleWindow");
  }
  KsSpinLockGuard guard(m_lock);
  m_ring.swap(ring);
  m_count = 0;
  return AppErr::kNoErr;
}

KsRef<HcClock> FrequencyTracker::GetClock() const {
  KsSpinLockGuard guard(m_lock);
  return m_clock;
}

eAppErr FrequencyTracker::SetClock(const KsRef<HcClock>& clock) {
  DidChangeCaller change(this, kClockId);
  KsRef<HcClock> old;
  KsSpinLockGuard guard(m_lock);
  old = m_clock;
  m_clock = clock;
  return AppErr::kNoErr;
}
