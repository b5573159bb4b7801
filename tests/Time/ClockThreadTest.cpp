#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "RegisterAllClasses.h"
#include "Time/HcGoalCollection.h"
#include "Time/HcStaticFloatTween.h"
#include "Time/HcTransition.h"
#include "Time/HcTweenCollection.h"
#include "Time/HcVelocityTween.h"
#include "Time/QTSystemClock.h"
#include "TimeTestSupport.h"

namespace {

// Two display-link threads tick the shared real-time clock while the main
// thread adds, removes, attaches and detaches tweens, starts and resets a
// transition and restarts the idle timer. Run under ThreadSanitizer by the
// test script.
TEST(ClockThreads, TheRealTimeClockTicksOnTwoThreadsWhileTheMainThreadChangesItsTweens) {
  RegisterAllClasses();
  KsRef<QTSystemClock> clock = QTSystemClock::GetSharedClock();
  auto target = KsMakeRef<TweenTarget>();
  auto transition = KsMakeRef<HcTransition>();
  auto goal = KsMakeRef<HcGoal>();
  goal->SetPropertyName("Other");
  goal->SetValue(5.0f);
  transition->GetGoals()->Add(goal);
  transition->SetTarget(target);
  transition->SetDuration(0.001);

  std::atomic<bool> stop{false};
  std::atomic<int> ticks{0};
  std::atomic<int> failures{0};
  auto tick = [&] {
    while (!stop) {
      if (AppErrFailed(clock->Idle())) ++failures;
      ++ticks;
    }
  };
  std::thread first(tick);
  std::thread second(tick);

  constexpr int kRounds = 2000;
  for (int round = 0; round < kRounds; ++round) {
    auto owned = KsMakeRef<HcStaticFloatTween>();
    owned->SetBinding(BindingTo(target, "Value", true));
    owned->SetValue(static_cast<float>(round));
    clock->AddTween(owned);
    auto attached = KsMakeRef<HcVelocityTween>();
    attached->SetBinding(BindingTo(target, "PanAngle", true));
    attached->ChangeVelocity(1.0f);
    attached->SetClock(clock);
    if (round % 3 == 0) attached->SetClock({});
    if (round % 50 == 0) {
      transition->Go();
      clock->ResetIdle();
    }
    if (round % 50 == 25) transition->Reset();
    clock->RemoveTween(owned);
    if (round % 7 == 0) std::this_thread::yield();
  }
  transition->Reset();
  stop = true;
  first.join();
  second.join();

  EXPECT_GT(ticks.load(), 0);
  EXPECT_EQ(0, failures.load());
  EXPECT_EQ(0u, clock->GetTweens()->GetCount());
  clock->Idle();  // the dead attached tweens are pruned
  EXPECT_EQ(0u, clock->AttachedTweenCount());
}

}  // namespace
