#include <gtest/gtest.h>

#include "RegisterAllClasses.h"
#include "Time/DoNothingTween.h"
#include "Time/HcClockCollection.h"
#include "Time/HcLinearFloatTween.h"
#include "Time/HcManualClock.h"
#include "Time/HcStaticFloatTween.h"
#include "Time/HcTransition.h"
#include "Time/HcTweenCollection.h"
#include "Time/QTSystemClock.h"
#include "TimeTestSupport.h"

namespace {

// Counts its evaluations and answers a status of choice.
class ProbeTween : public DoNothingTween {
 public:
  explicit ProbeTween(eAppErr status = 0) : m_status(status) {}
  eAppErr DoEvaluate(double t, const KsRef<HcClock>& clock) override {
    ++evaluations;
    lastTime = t;
    lastClock = clock.Get();
    return m_status;
  }
  int evaluations = 0;
  double lastTime = -1.0;
  const HcClock* lastClock = nullptr;

 private:
  eAppErr m_status;
};

// Takes itself off its clock when evaluated.
class SelfRemovingTween : public DoNothingTween {
 public:
  eAppErr DoEvaluate(double, const KsRef<HcClock>& clock) override {
    ++evaluations;
    clock->RemoveTween(ThisRef());
    return 0;
  }
  int evaluations = 0;
};

KsRef<HcManualClock> ManualClock(double now = 0.0) {
  auto clock = KsMakeRef<HcManualClock>();
  clock->SetTimeNow(now);
  return clock;
}

TEST(HcClock, ReportsWhetherAnythingRan) {
  auto clock = ManualClock();
  EXPECT_EQ(2, clock->Idle());

  EXPECT_EQ(0, clock->ResetIdle());
  EXPECT_EQ(0, clock->Idle());  // Dirty from the reset
  EXPECT_EQ(2, clock->Idle());

  clock->SetDirty(true);
  EXPECT_EQ(0, clock->Idle());
  EXPECT_FALSE(clock->GetDirty());

  // Tweens that did nothing (disabled, outside their window) are no work.
  auto idle = KsMakeRef<ProbeTween>(2);
  auto late = KsMakeRef<ProbeTween>();
  late->SetStartTime(5.0);
  clock->AddTween(idle);
  clock->AddTween(late);
  EXPECT_EQ(2, clock->Idle());
  EXPECT_EQ(1, idle->evaluations);
  EXPECT_EQ(0, late->evaluations);
  clock->SetTimeNow(5.0);
  EXPECT_EQ(0, clock->Idle());
  EXPECT_EQ(1, late->evaluations);
  EXPECT_EQ(5.0, late->lastTime);
  EXPECT_EQ(clock.Get(), late->lastClock);
}

TEST(HcClock, ReportsTheFirstFailureAndStillEvaluatesEverything) {
  auto clock = ManualClock();
  auto first = KsMakeRef<ProbeTween>(-903);
  auto second = KsMakeRef<ProbeTween>(-7);
  auto third = KsMakeRef<ProbeTween>(0);
  clock->AddTween(first);
  clock->AddTween(second);
  clock->AddTween(third);
  EXPECT_EQ(-903, clock->Idle());
  EXPECT_EQ(1, third->evaluations);
}

TEST(HcClock, DependentClocksTickAfterItAndTheirWorkCounts) {
  auto clock = ManualClock();
  auto dependent = ManualClock(3.0);
  clock->GetDependentClocks()->Add(dependent);
  EXPECT_EQ(2, clock->Idle());

  auto probe = KsMakeRef<ProbeTween>();
  dependent->AddTween(probe);
  EXPECT_EQ(0, clock->Idle());
  EXPECT_EQ(3.0, probe->lastTime);

  auto failing = KsMakeRef<ProbeTween>(-5);
  dependent->AddTween(failing);
  EXPECT_EQ(-5, clock->Idle());
}

TEST(HcClock, RefusesClocksThatDependOnThemselves) {
  auto a = ManualClock();
  auto b = ManualClock();
  a->GetDependentClocks()->Add(b);
  b->GetDependentClocks()->Add(a);
  auto probe = KsMakeRef<ProbeTween>();
  a->AddTween(probe);
  EXPECT_EQ(-2, a->Idle());
  EXPECT_EQ(1, probe->evaluations);
  // Break the circle so the clocks can go.
  b->GetDependentClocks()->RemoveAllObjects();
}

TEST(HcClock, AttachedTweensAreHeldWeaklyAndDeadOnesArePruned) {
  auto clock = ManualClock();
  auto kept = KsMakeRef<ProbeTween>();
  {
    auto gone = KsMakeRef<ProbeTween>();
    EXPECT_EQ(0, gone->SetClock(clock));
    EXPECT_EQ(0, kept->SetClock(clock));
    EXPECT_EQ(2u, clock->AttachedTweenCount());
  }
  EXPECT_EQ(0, clock->Idle());
  EXPECT_EQ(1, kept->evaluations);
  EXPECT_EQ(1u, clock->AttachedTweenCount());

  // Setting the same clock again attaches once, at the end.
  EXPECT_EQ(0, kept->SetClock(clock));
  EXPECT_EQ(1u, clock->AttachedTweenCount());
  EXPECT_EQ(0, kept->SetClock({}));
  EXPECT_EQ(0u, clock->AttachedTweenCount());
  EXPECT_EQ(-607, clock->DetachTween(kept));
  EXPECT_EQ(-2, clock->AttachTween({}));

  // Attached twice: a detach removes one entry.
  clock->AttachTween(kept);
  clock->AttachTween(kept);
  EXPECT_EQ(0, clock->DetachTween(kept));
  EXPECT_EQ(1u, clock->AttachedTweenCount());
}

TEST(HcClock, TweensMayLeaveTheClockWhileItTicks) {
  auto clock = ManualClock();
  auto leaving = KsMakeRef<SelfRemovingTween>();
  auto staying = KsMakeRef<ProbeTween>();
  clock->AddTween(leaving);
  clock->AddTween(staying);
  EXPECT_EQ(0, clock->Idle());
  EXPECT_FALSE(clock->ContainsTween(leaving));
  EXPECT_EQ(1, leaving->GetRetainCount());  // the clock let go at the end of its tick
  EXPECT_EQ(0, clock->Idle());
  EXPECT_EQ(1, leaving->evaluations);
  EXPECT_EQ(2, staying->evaluations);
  EXPECT_EQ(-607, clock->RemoveTween(leaving));
}

TEST(HcClock, SeesTweensAddedStraightToItsCollection) {
  auto clock = ManualClock();
  EXPECT_EQ(2, clock->Idle());
  auto probe = KsMakeRef<ProbeTween>();
  clock->GetTweens()->Add(probe);
  EXPECT_EQ(0, clock->Idle());
  auto other = KsMakeRef<HcTweenCollection>();
  clock->SetTweens(other);
  EXPECT_EQ(2, clock->Idle());
  EXPECT_EQ(1, probe->evaluations);
  EXPECT_EQ(1, probe->GetRetainCount());
}

// A transition on a clock of its own, whose runs the tests can see.
KsRef<HcTransition> TransitionOn(const KsRef<HcClock>& clock) {
  auto transition = KsMakeRef<HcTransition>();
  transition->SetClock(clock);
  clock->DetachTween(transition);  // evaluated only once started
  return transition;
}

TEST(HcClock, StartsTheIdleTransitionOnceAfterTheTimeOut) {
  RegisterAllClasses();
  auto idleClock = ManualClock(5.0);
  auto transitionClock = ManualClock();
  auto transition = TransitionOn(transitionClock);
  idleClock->SetIdleTransition(transition);
  idleClock->SetIdleTimeout(10.0);
  // Resetting answers the transition's own reset: -607 while it isn't running.
  EXPECT_EQ(-607, idleClock->SetUseIdleTransition(true));

  for (double t : {5.0, 10.0, 14.99}) {
    idleClock->SetTimeNow(t);
    idleClock->Idle();
    EXPECT_FALSE(transitionClock->ContainsTween(transition)) << t;
  }
  idleClock->SetTimeNow(15.0);
  // Starting the transition is no work of the idle clock's own.
  EXPECT_EQ(2, idleClock->Idle());
  EXPECT_TRUE(transitionClock->ContainsTween(transition));

  // Once fired it stays fired until the next reset, which stops it.
  transitionClock->RemoveTween(transition);
  idleClock->SetTimeNow(30.0);
  idleClock->Idle();
  EXPECT_FALSE(transitionClock->ContainsTween(transition));
  transitionClock->AddTween(transition);
  EXPECT_EQ(0, idleClock->ResetIdle());
  EXPECT_FALSE(transitionClock->ContainsTween(transition));
  idleClock->SetTimeNow(39.9);
  idleClock->Idle();
  EXPECT_FALSE(transitionClock->ContainsTween(transition));
  idleClock->SetTimeNow(40.0);
  idleClock->Idle();
  EXPECT_TRUE(transitionClock->ContainsTween(transition));
}

TEST(HcClock, ShortTimeOutsTurnTheIdleRuleOff) {
  auto idleClock = ManualClock();
  auto transitionClock = ManualClock();
  auto transition = TransitionOn(transitionClock);
  idleClock->SetIdleTransition(transition);
  idleClock->SetUseIdleTransition(true);
  for (double timeout : {0.0, 0.1}) {
    idleClock->SetIdleTimeout(timeout);
    idleClock->SetTimeNow(1000.0);
    idleClock->Idle();
    EXPECT_FALSE(transitionClock->ContainsTween(transition));
  }
  idleClock->SetUseIdleTransition(false);
  idleClock->SetIdleTimeout(1.0);
  idleClock->SetTimeNow(2000.0);
  idleClock->Idle();
  EXPECT_FALSE(transitionClock->ContainsTween(transition));
}

TEST(QTSystemClock, IsSharedWhileHeldAndMadeAnewAfterwards) {
  KsRef<QTSystemClock> first = QTSystemClock::GetSharedClock();
  EXPECT_TRUE(first->IsShared());
  EXPECT_EQ(first, QTSystemClock::GetSharedClock());
  first->SetIdleTimeout(3.0);
  first = nullptr;
  KsRef<QTSystemClock> second = QTSystemClock::GetSharedClock();
  EXPECT_EQ(10.0, second->GetIdleTimeout());  // a fresh clock
  EXPECT_TRUE(second->IsShared());

  auto privateClock = KsMakeRef<QTSystemClock>();
  EXPECT_FALSE(privateClock->IsShared());
  EXPECT_EQ(second, QTSystemClock::GetSharedClock());
  privateClock = nullptr;
  EXPECT_EQ(second, QTSystemClock::GetSharedClock());

  EXPECT_EQ(-102, second->SetTimeNow(5.0));
  const double a = second->GetTimeNow();
  const double b = second->GetTimeNow();
  EXPECT_LE(a, b);
}

TEST(HcManualClock, KeepsTheTimeItIsGiven) {
  auto clock = KsMakeRef<HcManualClock>();
  EXPECT_EQ(0.0, clock->GetTimeNow());
  EXPECT_EQ(0, clock->SetTimeNow(12.5));
  EXPECT_EQ(12.5, clock->GetTimeNow());
  EXPECT_FALSE(clock->GetDirty());
}

}  // namespace
