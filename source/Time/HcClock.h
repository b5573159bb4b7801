#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"

class HcClockCollection;
class HcTransition;
class HcTween;
class HcTweenCollection;

// The clock of the animation system: a time in seconds (each concrete clock
// says where it comes from), the tweens it owns ("Tweens"), tweens attached
// to it weakly, and clocks ticked after it ("DependentClocks"). Each tick
// (Idle) evaluates all of them at one time and then applies the idle rule:
// once nobody has called ResetIdle for IdleTimeout seconds, the clock starts
// its IdleTransition, once.
//
// Threads: the tick runs on a display-link thread (one tick of a clock at a
// time); the lists and idle settings are changed on the main thread. The
// lists change only under the clock's lock, and the tick evaluates a
// snapshot of them, taken again after any change, so tweens may add and
// remove tweens (themselves included) while they are evaluated. Code on
// another thread than the tick's changes the tween list through AddTween and
// RemoveTween rather than through the collection.
class HcClock : public KsObject {
  HC_CLASS_HEADER(HcClock)
 public:
  enum : int32_t {
    kTweensId = 200,
    kTimeNowId = 201,
    kDirtyId = 202,
    kIdleTransitionId = 203,
    kIdleTimeoutId = 204,
    kUseIdleTransitionId = 205,
    kDependentClocksId = 206,
  };
  static constexpr eAppErr kNothingDone = 2;

  HcClock();
  ~HcClock() override;

  virtual double GetTimeNow() = 0;
  // -102 here: only clocks whose time can be set accept it.
  virtual eAppErr SetTimeNow(double seconds);
  // One tick: the first failure, else 2 when no tween did anything and the
  // clock was not Dirty, else 0.
  virtual eAppErr Idle();

  // Restarts the idle timer: resets the idle transition, records now as the
  // last activity and marks the clock Dirty. Answers the transition's reset.
  eAppErr ResetIdle();

  // The weakly held list: duplicates allowed; detaching removes the latest
  // entry of the tween (-607 when there is none).
  eAppErr AttachTween(const KsRef<HcTween>& tween);
  eAppErr DetachTween(const KsRef<HcTween>& tween);

  // The owned list, under the clock's lock. AddTween with `unique` leaves a
  // tween that is already there alone.
  eAppErr AddTween(const KsRef<HcTween>& tween, bool unique = false);
  // Removes the first occurrence; -607 when absent.
  eAppErr RemoveTween(const KsRef<HcTween>& tween);
  bool ContainsTween(const KsRef<HcTween>& tween) const;
  uint32_t AttachedTweenCount() const;

  KsRef<HcTweenCollection> GetTweens() const;
  eAppErr SetTweens(const KsRef<HcTweenCollection>& tweens);
  bool GetDirty() const { return m_dirty.load(std::memory_order_relaxed); }
  eAppErr SetDirty(bool dirty);
  KsRef<HcTransition> GetIdleTransition() const;
  eAppErr SetIdleTransition(const KsRef<HcTransition>& transition);
  double GetIdleTimeout() const;
  eAppErr SetIdleTimeout(double seconds);
  bool GetUseIdleTransition() const { return m_useIdleTransition.load(std::memory_order_relaxed); }
  eAppErr SetUseIdleTransition(bool use);
  KsRef<HcClockCollection> GetDependentClocks() const;
  eAppErr SetDependentClocks(const KsRef<HcClockCollection>& clocks);

  KsRef<HcClock> ThisRef() { return KsRef<HcClock>(this); }

  // The owned and dependent collections announce their changes here.
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;

 private:
  class TickScope;
  struct Outcome;

  // The base tick, with the clock's tick lock held.
  eAppErr Tick();
  void TakeSnapshot();
  void PruneDeadAttached();
  // Called after a change of a list off the tick: lets go of the snapshot's
  // references at once when no tick is running.
  void ListsChanged();
  eAppErr ApplyIdleRule(double now);
  void Observe(KsObject* collection);
  void StopObserving(KsObject* collection);

  // Guards everything below up to the snapshot. Recursive: observers of the
  // tween collection, told while a change is made under it, may read the clock.
  mutable std::recursive_mutex m_lock;
  KsRef<HcTweenCollection> m_tweens;
  KsRef<HcClockCollection> m_dependentClocks;
  std::vector<WeakRef::Ref> m_attached;
  KsRef<HcTransition> m_idleTransition;
  double m_idleTimeout = 10.0;
  double m_lastActivity = 0.0;
  bool m_idleFired = false;
  std::atomic<bool> m_useIdleTransition{false};
  std::atomic<bool> m_dirty{false};
  std::atomic<bool> m_listsChanged{true};

  // Serialises ResetIdle against the idle rule's start of the transition.
  std::mutex m_idleMutex;
  // One tick at a time; owns the snapshot.
  std::mutex m_tickMutex;
  std::vector<KsRef<HcTween>> m_snapshotTweens;
  std::vector<WeakRef::Ref> m_snapshotAttached;
  std::vector<KsRef<HcClock>> m_snapshotClocks;
};
HC_CLASS_OBJECT(HcClock, KsObject)
