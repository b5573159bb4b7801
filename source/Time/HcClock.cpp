#include "Time/HcClock.h"

#include <algorithm>
#include <utility>

#include "KsTrace.h"
#include "Time/HcClockCollection.h"
#include "Time/HcTransition.h"
#include "Time/HcTween.h"
#include "Time/HcTweenCollection.h"

namespace {

// Clocks tick their dependent clocks; HcML may make them depend on one
// another in a circle. The clocks ticking on this thread, innermost last.
constexpr int kMaxClockNesting = 16;
thread_local const HcClock* t_ticking[kMaxClockNesting];
thread_local int t_tickDepth = 0;

bool IsWork(eAppErr status) { return status != HcClock::kNothingDone && status != HcTween::kOutsideWindow; }

}  // namespace

// Marks the clock as ticking on this thread for the scope's length.
class HcClock::TickScope {
 public:
  explicit TickScope(const HcClock* clock) : m_nested(t_tickDepth > 0) {
    if (t_tickDepth >= kMaxClockNesting || IsTicking(clock)) return;
    t_ticking[t_tickDepth++] = clock;
    m_entered = true;
  }
  ~TickScope() {
    if (m_entered) --t_tickDepth;
  }
  TickScope(const TickScope&) = delete;
  TickScope& operator=(const TickScope&) = delete;

  // Refused: the clock is already ticking on this thread, or too many are.
  bool Refused() const { return !m_entered; }
  bool Nested() const { return m_nested; }

  static bool IsTicking(const HcClock* clock) {
    return std::find(t_ticking, t_ticking + t_tickDepth, clock) != t_ticking + t_tickDepth;
  }

 private:
  bool m_nested;
  bool m_entered = false;
};

// What a tick reports: the first failure, and whether anything did work.
struct HcClock::Outcome {
  eAppErr firstFailure = AppErr::kNoErr;
  bool work = false;

  void Add(eAppErr status) {
    if (AppErrFailed(status)) {
      if (!AppErrFailed(firstFailure)) firstFailure = status;
    } else if (IsWork(status)) {
      work = true;
    }
  }
  // Starting the idle transition is no work of this clock's own.
  void AddFailureOnly(eAppErr status) {
    if (AppErrFailed(status) && !AppErrFailed(firstFailure)) firstFailure = status;
  }
  eAppErr Result(bool dirty) const {
    if (AppErrFailed(firstFailure)) return firstFailure;
    return work || dirty ? AppErr::kNoErr : kNothingDone;
  }
};

HcClock::HcClock() : m_tweens(KsMakeRef<HcTweenCollection>()), m_dependentClocks(KsMakeRef<HcClockCollection>()) {
  Observe(m_tweens.Get());
  Observe(m_dependentClocks.Get());
}

HcClock::~HcClock() = default;

eAppErr HcClock::SetTimeNow(double) { return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetTimeNow"); }

eAppErr HcClock::Idle() {
  TickScope scope(this);
  if (scope.Refused()) return KS_TRACE_ERR(AppErr::kBadArgument, "Idle");
  std::unique_lock tick(m_tickMutex, std::defer_lock);
  // A dependent clock busy on another thread is being ticked there already;
  // waiting for it could close a circle of clocks across threads.
  if (scope.Nested()) {
    if (!tick.try_lock()) return kNothingDone;
  } else {
    tick.lock();
  }
  return Tick();
}

eAppErr HcClock::Tick() {
  KsRef<HcClock> self = ThisRef();
  if (m_listsChanged.exchange(false)) TakeSnapshot();
  const bool useIdle = GetUseIdleTransition();
  const bool needsTime = useIdle || !m_snapshotTweens.empty() || !m_snapshotAttached.empty();
  const double now = needsTime ? GetTimeNow() : 0.0;

  Outcome outcome;
  for (const KsRef<HcTween>& tween : m_snapshotTweens) outcome.Add(tween->Evaluate(now, self));
  bool sawDead = false;
  for (const WeakRef::Ref& weak : m_snapshotAttached) {
    KsRef<HcTween> tween = weak->GetTargetAs<HcTween>();
    if (!tween) {
      sawDead = true;
      continue;
    }
    outcome.Add(tween->Evaluate(now, self));
  }
  if (sawDead) PruneDeadAttached();
  for (const KsRef<HcClock>& clock : m_snapshotClocks) outcome.Add(clock->Idle());

  const bool dirty = m_dirty.exchange(false);
  if (useIdle) outcome.AddFailureOnly(ApplyIdleRule(now));
  // Tweens that left the lists during the tick are let go now, not at the next one.
  if (m_listsChanged.exchange(false)) TakeSnapshot();
  return outcome.Result(dirty);
}

void HcClock::TakeSnapshot() {
  std::vector<KsRef<HcTween>> tweens;
  std::vector<KsRef<HcClock>> clocks;
  {
    std::lock_guard lock(m_lock);
    tweens.swap(m_snapshotTweens);
    clocks.swap(m_snapshotClocks);
    const uint32_t tweenCount = m_tweens ? m_tweens->GetCount() : 0;
    m_snapshotTweens.reserve(std::max<size_t>(tweens.capacity(), tweenCount));
    for (uint32_t i = 0; i < tweenCount; ++i) {
      if (KsRef<HcTween> tween = m_tweens->GetByIndex(i)) m_snapshotTweens.push_back(std::move(tween));
    }
    m_snapshotAttached = m_attached;
    const uint32_t clockCount = m_dependentClocks ? m_dependentClocks->GetCount() : 0;
    m_snapshotClocks.reserve(std::max<size_t>(clocks.capacity(), clockCount));
    for (uint32_t i = 0; i < clockCount; ++i) {
      if (KsRef<HcClock> clock = m_dependentClocks->GetByIndex(i)) m_snapshotClocks.push_back(std::move(clock));
    }
  }
  // The previous snapshot's references are dropped outside the lock.
}

void HcClock::PruneDeadAttached() {
  std::lock_guard lock(m_lock);
  std::erase_if(m_attached, [](const WeakRef::Ref& weak) { return !weak || weak->PeekTarget() == nullptr; });
  m_listsChanged.store(true);
}

void HcClock::ListsChanged() {
  m_listsChanged.store(true);
  if (TickScope::IsTicking(this)) return;  // the running tick takes a new snapshot at its end
  std::unique_lock tick(m_tickMutex, std::try_to_lock);
  if (!tick.owns_lock()) return;  // so does a tick running on another thread
  KsRef<HcClock> keep = ThisRef();
  std::vector<KsRef<HcTween>> tweens;
  std::vector<WeakRef::Ref> attached;
  std::vector<KsRef<HcClock>> clocks;
  tweens.swap(m_snapshotTweens);
  attached.swap(m_snapshotAttached);
  clocks.swap(m_snapshotClocks);
  tick.unlock();
  // Their references go here, before the next tick takes a new snapshot.
}

eAppErr HcClock::ApplyIdleRule(double now) {
  std::lock_guard idle(m_idleMutex);
  KsRef<HcTransition> transition;
  {
    std::lock_guard lock(m_lock);
    if (!m_idleTransition || m_idleFired || !(m_idleTimeout > 0.1) || !(now >= m_lastActivity + m_idleTimeout)) {
      return AppErr::kNoErr;
    }
    transition = m_idleTransition;
    m_idleFired = true;
  }
  return transition->Go();
}

eAppErr HcClock::ResetIdle() {
  std::lock_guard idle(m_idleMutex);
  KsRef<HcTransition> transition = GetIdleTransition();
  const eAppErr result = transition ? transition->Reset() : AppErr::kNoErr;
  const double now = GetTimeNow();
  {
    std::lock_guard lock(m_lock);
    m_lastActivity = now;
    m_idleFired = false;
  }
  m_dirty.store(true);
  if (AppErrFailed(result)) return KS_TRACE_ERR(result, "ResetIdle");
  return result;
}

eAppErr HcClock::AttachTween(const KsRef<HcTween>& tween) {
  if (!tween) return KS_TRACE_ERR(AppErr::kBadArgument, "AttachTween");
  WeakRef::Ref weak = WeakRef::GetWeakRef(tween.Get());
  {
    std::lock_guard lock(m_lock);
    m_attached.push_back(std::move(weak));
  }
  ListsChanged();
  return AppErr::kNoErr;
}

eAppErr HcClock::DetachTween(const KsRef<HcTween>& tween) {
  bool found = false;
  if (tween) {
    std::lock_guard lock(m_lock);
    for (auto it = m_attached.rbegin(); it != m_attached.rend(); ++it) {
      if (*it && (*it)->PeekTarget() == tween.Get()) {
        m_attached.erase(std::next(it).base());
        found = true;
        break;
      }
    }
  }
  if (!found) return KS_TRACE_ERR(AppErr::kNotFound, "DetachTween");
  ListsChanged();
  return AppErr::kNoErr;
}

uint32_t HcClock::AttachedTweenCount() const {
  std::lock_guard lock(m_lock);
  return static_cast<uint32_t>(m_attached.size());
}

eAppErr HcClock::AddTween(const KsRef<HcTween>& tween, bool unique) {
  if (!tween) return KS_TRACE_ERR(AppErr::kBadArgument, "AddTween");
  KsRef<HcTweenCollection> made;
  eAppErr err = AppErr::kNoErr;
  {
    std::lock_guard lock(m_lock);
    if (!m_tweens) {
      made = KsMakeRef<HcTweenCollection>();
      m_tweens = made;
      Observe(made.Get());
    }
    if (unique && m_tweens->ContainsObject(tween)) return AppErr::kNoErr;
    err = m_tweens->Add(tween);
  }
  ListsChanged();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "AddTween");
  return AppErr::kNoErr;
}

eAppErr HcClock::RemoveTween(const KsRef<HcTween>& tween) {
  eAppErr err = AppErr::kNotFound;
  {
    std::lock_guard lock(m_lock);
    const int32_t index = m_tweens && tween ? m_tweens->IndexOfObject(tween) : -1;
    if (index >= 0) err = m_tweens->RemoveAt(static_cast<uint32_t>(index));
  }
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "RemoveTween");
  ListsChanged();
  return AppErr::kNoErr;
}

bool HcClock::ContainsTween(const KsRef<HcTween>& tween) const {
  std::lock_guard lock(m_lock);
  return m_tweens && tween && m_tweens->ContainsObject(tween);
}

KsRef<HcTweenCollection> HcClock::GetTweens() const {
  std::lock_guard lock(m_lock);
  return m_tweens;
}

eAppErr HcClock::SetTweens(const KsRef<HcTweenCollection>& tweens) {
  DidChangeCaller change(this, kTweensId);
  KsRef<HcTweenCollection> old;
  {
    std::lock_guard lock(m_lock);
    if (tweens == m_tweens) return AppErr::kNoErr;
    old = std::exchange(m_tweens, tweens);
    if (old) StopObserving(old.Get());
    Observe(tweens.Get());
  }
  ListsChanged();
  return AppErr::kNoErr;
}

eAppErr HcClock::SetDirty(bool dirty) {
  DidChangeCaller change(this, kDirtyId);
  m_dirty.store(dirty);
  return AppErr::kNoErr;
}

KsRef<HcTransition> HcClock::GetIdleTransition() const {
  std::lock_guard lock(m_lock);
  return m_idleTransition;
}

eAppErr HcClock::SetIdleTransition(const KsRef<HcTransition>& transition) {
  DidChangeCaller change(this, kIdleTransitionId);
  KsRef<HcTransition> old;
  {
    std::lock_guard lock(m_lock);
    if (transition == m_idleTransition) return AppErr::kNoErr;
    old = std::exchange(m_idleTransition, transition);
  }
  return AppErr::kNoErr;
}

double HcClock::GetIdleTimeout() const {
  std::lock_guard lock(m_lock);
  return m_idleTimeout;
}

eAppErr HcClock::SetIdleTimeout(double seconds) {
  {
    std::lock_guard lock(m_lock);
    m_idleTimeout = seconds;
  }
  return ResetIdle();
}

eAppErr HcClock::SetUseIdleTransition(bool use) {
  m_useIdleTransition.store(use);
  return ResetIdle();
}

KsRef<HcClockCollection> HcClock::GetDependentClocks() const {
  std::lock_guard lock(m_lock);
  return m_dependentClocks;
}

eAppErr HcClock::SetDependentClocks(const KsRef<HcClockCollection>& clocks) {
  DidChangeCaller change(this, kDependentClocksId);
  KsRef<HcClockCollection> old;
  {
    std::lock_guard lock(m_lock);
    if (clocks == m_dependentClocks) return AppErr::kNoErr;
    old = std::exchange(m_dependentClocks, clocks);
    if (old) StopObserving(old.Get());
    Observe(clocks.Get());
  }
  ListsChanged();
  return AppErr::kNoErr;
}

void HcClock::ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>&, const KsRef<KsObject>&) {
  m_listsChanged.store(true);
}

void HcClock::Observe(KsObject* collection) {
  if (collection) collection->AddObserverForId(KsRef<KsObject>(this), 1, 0);
}

void HcClock::StopObserving(KsObject* collection) {
  if (collection) collection->RemoveObserverForId(KsRef<KsObject>(this), 1);
}
