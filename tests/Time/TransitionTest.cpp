#include <gtest/gtest.h>

#include "General/FloatCollection.h"
#include "RegisterAllClasses.h"
#include "Time/ConvergentTransition.h"
#include "Time/FloatBindingTupleCollection.h"
#include "Time/FloatSequenceTween.h"
#include "Time/HcGoalCollection.h"
#include "Time/HcManualClock.h"
#include "Time/HcMovieTween.h"
#include "Time/HcStaticFloatTween.h"
#include "Time/HcTweenCollection.h"
#include "Time/QTSystemClock.h"
#include "TimeTestSupport.h"

namespace {

KsRef<HcGoal> Goal(const char* property, float value, const KsRef<KsObject>& target = {}) {
  auto goal = KsMakeRef<HcGoal>();
  goal->SetPropertyName(property);
  goal->SetValue(value);
  goal->SetTarget(target);
  return goal;
}

// A transition on a manual clock, toward Value 20 and Other 30 of the target.
struct Rig {
  KsRef<TweenTarget> target = KsMakeRef<TweenTarget>();
  KsRef<HcManualClock> clock = KsMakeRef<HcManualClock>();
  KsRef<HcTransition> transition;

  explicit Rig(KsRef<HcTransition> made = KsMakeRef<HcTransition>()) : transition(std::move(made)) {
    RegisterAllClasses();
    transition->SetClock(clock);
    clock->DetachTween(transition);
    transition->SetTarget(target);
    target->SetValue(10.0f);
    target->SetOther(0.0f);
  }
  eAppErr TickAt(double t) {
    clock->SetTimeNow(t);
    return clock->Idle();
  }
};

TEST(HcTransition, NewTransitionsWaitOnTheSharedClockUntilStarted) {
  auto transition = KsMakeRef<HcTransition>();
  KsRef<QTSystemClock> shared = QTSystemClock::GetSharedClock();
  EXPECT_EQ(shared, transition->GetClock());
  EXPECT_EQ(1.0, transition->GetDuration());
  EXPECT_EQ(0u, transition->GetGoals()->GetCount());
  EXPECT_EQ(0u, shared->AttachedTweenCount());
  EXPECT_FALSE(shared->ContainsTween(transition));
  EXPECT_EQ(0, transition->Go());
  EXPECT_TRUE(shared->ContainsTween(transition));
  EXPECT_EQ(0, transition->Go());  // once on the clock
  EXPECT_EQ(1u, shared->GetTweens()->GetCount());
  EXPECT_EQ(0, transition->Reset());
  EXPECT_EQ(-607, transition->Reset());
  transition->SetClock({});
  EXPECT_EQ(-903, transition->Go());
  EXPECT_EQ(0, transition->Reset());  // nothing to reset without a clock
}

TEST(HcTransition, EasesGoalsToTheirValuesAndHandsOver) {
  Rig rig;
  rig.transition->GetGoals()->Add(Goal("Value", 20.0f));
  auto other = KsMakeRef<TweenTarget>();
  rig.transition->GetGoals()->Add(Goal("Other", 30.0f, other));
  auto followUp = KsMakeRef<HcStaticFloatTween>();
  followUp->SetBinding(BindingTo(rig.target, "Other"));
  followUp->SetValue(5.0f);
  rig.transition->GetTweens()->Add(followUp);

  rig.clock->SetTimeNow(100.0);
  EXPECT_EQ(0, rig.transition->Go());
  EXPECT_EQ(100.0, rig.transition->GetStartTime());
  EXPECT_EQ(101.0, rig.transition->GetEndTime());
  EXPECT_EQ(0, rig.TickAt(100.0));
  EXPECT_FLOAT_EQ(10.0f, rig.target->GetValue());
  EXPECT_EQ(0, rig.TickAt(100.5));
  EXPECT_FLOAT_EQ(15.0f, rig.target->GetValue());  // halfway on the eased curve
  EXPECT_FLOAT_EQ(15.0f, other->GetOther());
  EXPECT_EQ(0, rig.TickAt(100.9));
  // The first tick past the end writes the goals themselves, then hands over.
  EXPECT_EQ(0, rig.TickAt(101.3));
  EXPECT_FLOAT_EQ(20.0f, rig.target->GetValue());
  EXPECT_FLOAT_EQ(30.0f, other->GetOther());
  EXPECT_FALSE(rig.clock->ContainsTween(rig.transition));
  EXPECT_TRUE(rig.clock->ContainsTween(followUp));
  EXPECT_EQ(0, rig.TickAt(101.4));
  EXPECT_FLOAT_EQ(5.0f, rig.target->GetOther());

  // A reset takes the handed-over tweens back off the clock.
  EXPECT_EQ(-607, rig.transition->Reset());
  EXPECT_FALSE(rig.clock->ContainsTween(followUp));
}

TEST(HcTransition, GoAgainRearmsFromTheCurrentValues) {
  Rig rig;
  rig.transition->GetGoals()->Add(Goal("Value", 20.0f));
  rig.transition->Go();
  rig.TickAt(0.5);
  EXPECT_FLOAT_EQ(15.0f, rig.target->GetValue());
  rig.clock->SetTimeNow(0.6);
  rig.transition->Go();
  EXPECT_EQ(0.6, rig.transition->GetStartTime());
  rig.TickAt(0.6);
  EXPECT_FLOAT_EQ(15.0f, rig.target->GetValue());
  rig.TickAt(1.1);
  EXPECT_FLOAT_EQ(17.5f, rig.target->GetValue());
  EXPECT_EQ(1u, rig.clock->GetTweens()->GetCount());
  // Reset leaves the property where it got to.
  EXPECT_EQ(0, rig.transition->Reset());
  EXPECT_FLOAT_EQ(17.5f, rig.target->GetValue());
}

TEST(HcTransition, DurationZeroJumpsToTheGoal) {
  Rig rig;
  rig.transition->SetDuration(0.0);
  rig.transition->GetGoals()->Add(Goal("Value", 20.0f));
  rig.clock->SetTimeNow(3.0);
  rig.transition->Go();
  EXPECT_EQ(0, rig.TickAt(3.0));
  EXPECT_FLOAT_EQ(20.0f, rig.target->GetValue());
}

TEST(HcTransition, SkipsGoalsWhoseStartCannotBeRead) {
  Rig rig;
  rig.transition->GetGoals()->Add(Goal("NoSuchProperty", 99.0f));
  rig.transition->GetGoals()->Add(Goal("Value", 20.0f));
  rig.transition->Go();
  EXPECT_EQ(0, rig.TickAt(0.5));
  EXPECT_FLOAT_EQ(15.0f, rig.target->GetValue());
  EXPECT_EQ(0, rig.TickAt(2.0));
  EXPECT_FLOAT_EQ(20.0f, rig.target->GetValue());
}

TEST(HcTransition, StartsItselfWhenPutOnAClockDirectly) {
  Rig rig;
  rig.transition->GetGoals()->Add(Goal("Value", 20.0f));
  rig.clock->SetTimeNow(4.0);
  rig.clock->AddTween(rig.transition);
  EXPECT_EQ(0, rig.TickAt(4.0));
  EXPECT_TRUE(rig.transition->IsStarted());
  EXPECT_EQ(4.0, rig.transition->GetStartTime());
  EXPECT_EQ(609, rig.transition->Evaluate(3.0, rig.clock));
}

TEST(ConvergentTransition, BlendsTowardASequenceTweenThenEnablesIt) {
  auto convergent = KsMakeRef<ConvergentTransition>();
  Rig rig(convergent);
  EXPECT_EQ(2, convergent->DoEvaluate(0.0, rig.clock));  // no target tween yet

  auto targetClock = KsMakeRef<HcManualClock>();
  auto sequence = KsMakeRef<FloatSequenceTween>();
  sequence->SetClock(targetClock);
  sequence->SetEnabled(false);
  for (float t : {0.0f, 10.0f}) sequence->GetTimestamps()->Add(t);
  sequence->SetInterpolator(FloatSequenceTween::kLinear);
  for (const char* name : {"PanAngle", "Value"}) {
    auto tuple = KsMakeRef<FloatBindingTuple>();
    tuple->SetBinding(BindingTo(rig.target, name));
    tuple->GetFloats()->Add(0.0f);
    tuple->GetFloats()->Add(100.0f);
    sequence->GetBindings()->Add(tuple);
  }
  convergent->SetTargetTween(sequence);
  targetClock->SetTimeNow(1.0);  // the sequence shows 10 there
  rig.target->SetPanAngle(350.0f);
  rig.target->SetValue(350.0f);

  convergent->Go();
  EXPECT_EQ(0, rig.TickAt(0.0));  // weight 0: nothing moves
  EXPECT_FLOAT_EQ(350.0f, rig.target->GetPanAngle());
  EXPECT_EQ(0, rig.TickAt(0.5));
  EXPECT_FLOAT_EQ(360.0f, rig.target->GetPanAngle());  // the short way round
  EXPECT_FLOAT_EQ(180.0f, rig.target->GetValue());     // straight
  EXPECT_FALSE(sequence->GetEnabled());
  EXPECT_EQ(0, rig.TickAt(1.5));
  EXPECT_TRUE(sequence->GetEnabled());
  EXPECT_FALSE(rig.clock->ContainsTween(convergent));

  EXPECT_EQ(-607, convergent->Reset());
  EXPECT_FALSE(sequence->GetEnabled());
}

KsRef<LookDirectionValue> Direction(float pan, float tilt, float vfov) {
  auto direction = KsMakeRef<LookDirectionValue>();
  direction->SetPanAngle(pan);
  direction->SetTiltAngle(tilt);
  direction->SetVFOV(vfov);
  return direction;
}

TEST(ConvergentTransition, BlendsTowardTheMovieTweensDirection) {
  auto convergent = KsMakeRef<ConvergentTransition>();
  Rig rig(convergent);
  auto movieClock = KsMakeRef<HcManualClock>();
  auto movieTween = KsMakeRef<HcMovieTween>();
  movieTween->SetClock(movieClock);
  movieTween->SetBindToView(rig.target);
  auto in = KsMakeRef<HcMovieTweenLookMarker>();
  in->SetTimeValue(0);
  in->SetRightLookDirection(Direction(10.0f, 20.0f, 40.0f));
  auto out = KsMakeRef<HcMovieTweenLookMarker>();
  out->SetTimeValue(10000);
  out->SetLeftLookDirection(Direction(10.0f, 20.0f, 40.0f));
  movieTween->GetMarkers()->Add(in);
  movieTween->GetMarkers()->Add(out);
  convergent->SetTargetTween(movieTween);
  rig.target->SetPanAngle(350.0f);
  rig.target->SetTiltAngle(0.0f);
  rig.target->SetVFOV(60.0f);
  movieClock->SetTimeNow(5.0);

  convergent->Go();
  // Without a time scale the movie tween shows no direction: nothing moves.
  EXPECT_EQ(0, rig.TickAt(0.5));
  EXPECT_FLOAT_EQ(350.0f, rig.target->GetPanAngle());
  movieTween->SetTimeScale(KsMakeRef<HcTimeScale>());
  EXPECT_EQ(0, rig.TickAt(0.5));
  EXPECT_FLOAT_EQ(360.0f, rig.target->GetPanAngle());
  EXPECT_FLOAT_EQ(10.0f, rig.target->GetTiltAngle());
  EXPECT_FLOAT_EQ(50.0f, rig.target->GetVFOV());
}

// The idle auto-pan: an idle clock whose time-out starts a convergent
// transition toward the idle tween.
TEST(IdleAutoPan, StartsAfterTheTimeOutOfManualTimeAndStopsOnReset) {
  RegisterAllClasses();
  auto target = KsMakeRef<TweenTarget>();
  auto idleClock = KsMakeRef<HcManualClock>();
  auto transitionClock = KsMakeRef<HcManualClock>();
  auto idleTween = KsMakeRef<HcStaticFloatTween>();
  idleTween->SetBinding(BindingTo(target, "PanAngle", true));
  idleTween->SetValue(90.0f);
  idleTween->SetEnabled(false);
  idleTween->SetClock(transitionClock);
  auto autoPan = KsMakeRef<ConvergentTransition>();
  autoPan->SetClock(transitionClock);
  transitionClock->DetachTween(autoPan);
  autoPan->SetTargetTween(idleTween);
  idleClock->SetIdleTransition(autoPan);
  idleClock->SetIdleTimeout(10.0);
  idleClock->SetUseIdleTransition(true);

  auto tickBoth = [&](double t) {
    idleClock->SetTimeNow(t);
    transitionClock->SetTimeNow(t);
    idleClock->Idle();
    transitionClock->Idle();
  };
  tickBoth(9.99);
  EXPECT_FALSE(transitionClock->ContainsTween(autoPan));
  tickBoth(10.0);
  EXPECT_TRUE(transitionClock->ContainsTween(autoPan));
  tickBoth(11.5);  // past the second of convergence: the idle tween takes over
  EXPECT_TRUE(idleTween->GetEnabled());
  tickBoth(11.6);
  EXPECT_FLOAT_EQ(90.0f, target->GetPanAngle());

  // User activity: the idle tween stops and the wait starts over.
  idleClock->ResetIdle();
  EXPECT_FALSE(idleTween->GetEnabled());
  target->SetPanAngle(0.0f);
  tickBoth(15.0);
  EXPECT_FLOAT_EQ(0.0f, target->GetPanAngle());
  EXPECT_FALSE(transitionClock->ContainsTween(autoPan));
  tickBoth(21.6);
  EXPECT_TRUE(transitionClock->ContainsTween(autoPan));
  idleClock->ResetIdle();
  EXPECT_FALSE(transitionClock->ContainsTween(autoPan));
}

}  // namespace
