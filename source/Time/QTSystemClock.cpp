#include "Time/QTSystemClock.h"

#include <chrono>
#include <mutex>

#include "KsTrace.h"

namespace {

// The process's holder of the shared clock: its weak reference, and which
// clock that is (compared by a dying clock, whose weak reference is already
// cleared).
struct SharedClockHolder {
  std::mutex mutex;
  WeakRef::Ref weak;
  const QTSystemClock* clock = nullptr;
};

SharedClockHolder& Holder() {
  // Never destroyed: clocks may die during exit after other statics.
  static SharedClockHolder* holder = new SharedClockHolder;
  return *holder;
}

}  // namespace

QTSystemClock::QTSystemClock() { KS_TRACE(KsTrace::kVerbose, "New RTC"); }

QTSystemClock::~QTSystemClock() {
  if (!m_shared) return;
  SharedClockHolder& holder = Holder();
  std::lock_guard lock(holder.mutex);
  // A newer shared clock may already be held; it stays.
  if (holder.clock == this) {
    holder.weak = nullptr;
    holder.clock = nullptr;
  }
}

KsRef<QTSystemClock> QTSystemClock::GetSharedClock() {
  SharedClockHolder& holder = Holder();
  std::lock_guard lock(holder.mutex);
  if (holder.weak) {
    if (KsRef<QTSystemClock> clock = holder.weak->GetTargetAs<QTSystemClock>()) return clock;
  }
  auto clock = KsMakeRef<QTSystemClock>();
  clock->m_shared = true;
  holder.weak = WeakRef::GetWeakRef(clock.Get());
  holder.clock = clock.Get();
  return clock;
}

double QTSystemClock::GetTimeNow() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration<double>(since).count();
}
