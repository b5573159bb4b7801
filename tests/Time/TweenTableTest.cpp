#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "General/FloatCollection.h"
#include "RegisterAllClasses.h"
#include "Time/FloatBindingTupleCollection.h"
#include "Time/FloatSequenceTween.h"
#include "Time/HcAbsVelocityTween.h"
#include "Time/HcFloatForwardingTween.h"
#include "Time/HcLinearFloatTween.h"
#include "Time/HcManualClock.h"
#include "Time/HcSineFloatTween.h"
#include "Time/HcSmoothFloatTween.h"
#include "Time/HcStaticFloatTween.h"
#include "Time/HcTweenCollection.h"
#include "Time/HcVelocityTween.h"
#include "Time/MultiTween.h"
#include "Time/RangeConditionalTween.h"
#include "Time/TweenEvaluator.h"
#include "TimeTestSupport.h"

namespace {

struct Fixture {
  KsRef<TweenTarget> target = KsMakeRef<TweenTarget>();
  KsRef<HcManualClock> clock = KsMakeRef<HcManualClock>();
  KsRef<HcManualClock> otherClock = KsMakeRef<HcManualClock>();
};

// One tick at time t: what the clock answers and the value "Value" then holds.
struct Step {
  double t;
  eAppErr clockResult;
  float value;
  std::function<void(Fixture&)> before = {};
};

struct Scenario {
  std::string name;
  std::function<KsRef<HcTween>(Fixture&)> make;
  std::vector<Step> steps;
};

template <class T>
KsRef<T> On(Fixture& f, const char* property = "Value") {
  auto tween = KsMakeRef<T>();
  tween->SetBinding(BindingTo(f.target, property));
  return tween;
}

KsRef<HcStaticFloatTween> Static(Fixture& f, float value, const char* property = "Value") {
  auto tween = On<HcStaticFloatTween>(f, property);
  tween->SetValue(value);
  return tween;
}

template <class T>
KsRef<T> Ramp(Fixture& f, double start, double end, float from, float to) {
  auto tween = On<T>(f);
  tween->SetStartTime(start);
  tween->SetEndTime(end);
  tween->SetStartValue(from);
  tween->SetEndValue(to);
  return tween;
}

KsRef<FloatSequenceTween> Sequence(Fixture& f, int32_t interpolator, double offset) {
  auto tween = KsMakeRef<FloatSequenceTween>();
  for (float t : {0.0f, 1.0f, 2.0f}) tween->GetTimestamps()->Add(t);
  auto tuple = KsMakeRef<FloatBindingTuple>();
  tuple->SetBinding(BindingTo(f.target, "Value"));
  for (float v : {10.0f, 20.0f, 40.0f}) tuple->GetFloats()->Add(v);
  tween->GetBindings()->Add(tuple);
  tween->SetInterpolator(interpolator);
  tween->SetTimeOffset(offset);
  return tween;
}

void SetLevel(Fixture& f, double level) { f.target->SetLevel(level); }

std::vector<Scenario> Scenarios() {
  const float kUnwritten = -99.0f;  // what "Value" holds until a tween writes it
  return {
      {"static", [](Fixture& f) { return Static(f, 7.0f); }, {{0.0, 0, 7.0f}, {100.0, 0, 7.0f}}},
      {"window closed at both ends",
       [](Fixture& f) {
         auto tween = Static(f, 7.0f);
         tween->SetStartTime(1.0);
         tween->SetEndTime(2.0);
         return tween;
       },
       {{0.5, 2, kUnwritten}, {1.0, 0, 7.0f}, {2.0, 0, 7.0f}, {2.5, 2, 7.0f}}},
      {"disabled",
       [](Fixture& f) {
         auto tween = Static(f, 7.0f);
         tween->SetEnabled(false);
         return tween;
       },
       {{0.0, 2, kUnwritten}}},
      {"linear",
       [](Fixture& f) { return Ramp<HcLinearFloatTween>(f, 2.0, 4.0, 10.0f, 20.0f); },
       {{1.9, 2, kUnwritten}, {2.0, 0, 10.0f}, {3.0, 0, 15.0f}, {4.0, 0, 20.0f}, {4.5, 2, 20.0f}}},
      {"linear with an open window",
       [](Fixture& f) { return Ramp<HcLinearFloatTween>(f, -1.0, -1.0, 10.0f, 20.0f); },
       {{0.0, 0, 20.0f}, {7.0, 0, 20.0f}}},
      {"linear with no width",
       [](Fixture& f) { return Ramp<HcLinearFloatTween>(f, 3.0, 3.0, 10.0f, 20.0f); },
       {{2.0, 2, kUnwritten}, {3.0, 0, 20.0f}}},
      {"smooth",
       [](Fixture& f) { return Ramp<HcSmoothFloatTween>(f, 2.0, 4.0, 10.0f, 20.0f); },
       {{2.0, 0, 10.0f}, {2.5, 0, 11.4644661f}, {3.0, 0, 15.0f}, {4.0, 0, 20.0f}}},
      {"sine repeating every period",
       [](Fixture& f) { return On<HcSineFloatTween>(f); },
       {{0.0, 0, 0.0f}, {0.25, 0, 1.0f}, {0.75, 0, -1.0f}, {1.25, 0, 1.0f}, {7.25, 0, 1.0f}}},
      {"sine from its start time, shifted a quarter",
       [](Fixture& f) {
         auto tween = On<HcSineFloatTween>(f);
         tween->SetStartTime(10.0);
         tween->SetStartPhase(0.25f);
         tween->SetAmplitude(2.0f);
         tween->SetOffset(5.0f);
         return tween;
       },
       {{10.0, 0, 7.0f}, {10.25, 0, 5.0f}, {10.5, 0, 3.0f}}},
      {"sine without a period",
       [](Fixture& f) {
         auto tween = On<HcSineFloatTween>(f);
         tween->SetPeriod(0.0f);
         return tween;
       },
       {{1.0, 2, kUnwritten}}},
      {"velocity writes steps",
       [](Fixture& f) {
         auto tween = On<HcVelocityTween>(f);
         tween->SetVelocity(3.0f);
         return tween;
       },
       {{1.0, 0, kUnwritten}, {1.5, 0, 1.5f}, {1.6, 0, 0.3f}}},
      {"absolute velocity wraps round its modulus",
       [](Fixture& f) {
         f.target->SetValue(350.0f);
         auto tween = On<HcAbsVelocityTween>(f);
         tween->SetVelocity(20.0f);
         tween->SetModulus(360.0f);
         return tween;
       },
       {{0.0, 0, 350.0f},
        {1.0, 0, 10.0f},
        {2.0, 0, 30.0f},
        // A reversal starts again from the property's value.
        {3.0, 0, 30.0f, [](Fixture& f) { f.clock->GetTweens()->GetByIndex(0).DynamicCast<HcAbsVelocityTween>()->SetVelocity(-20.0f); }},
        {4.5, 0, 0.0f},
        {5.0, 0, -10.0f}}},
      {"forwarding",
       [](Fixture& f) {
         f.target->SetOther(2.0f);
         auto tween = On<HcFloatForwardingTween>(f);
         tween->SetSourceBinding(BindingTo(f.target, "Other"));
         tween->SetOffset(1.0f);
         tween->SetScale(10.0f);
         return tween;
       },
       {{0.0, 0, 30.0f}, {1.0, 2, 30.0f}, {2.0, 0, 50.0f, [](Fixture& f) { f.target->SetOther(4.0f); }}}},
      {"sequence, linear, forwards and back",
       [](Fixture& f) { return Sequence(f, FloatSequenceTween::kLinear, 0.0); },
       {{0.5, 0, 15.0f}, {1.5, 0, 30.0f}, {5.0, 0, 40.0f}, {1.5, 0, 30.0f}, {0.5, 0, 15.0f}, {-1.0, 0, 10.0f}}},
      {"sequence, step",
       [](Fixture& f) { return Sequence(f, FloatSequenceTween::kStep, 0.0); },
       {{1.5, 0, 20.0f}, {-1.0, 0, 10.0f}, {2.0, 0, 40.0f}}},
      {"sequence with a time offset",
       [](Fixture& f) { return Sequence(f, FloatSequenceTween::kLinear, 1.0); },
       {{0.5, 0, 30.0f}}},
      {"sequence tuple with fewer floats than timestamps",
       [](Fixture& f) {
         auto tween = Sequence(f, FloatSequenceTween::kLinear, 0.0);
         tween->GetTimestamps()->Add(3.0f);
         tween->GetTimestamps()->Add(4.0f);
         return tween;
       },
       {{3.5, 0, 40.0f}, {2.5, 0, 40.0f}, {1.5, 0, 30.0f}}},
      {"range condition chooses a tween each tick",
       [](Fixture& f) {
         auto tween = KsMakeRef<RangeConditionalTween>();
         tween->SetTargetProperty(BindingTo(f.target, "Level"));
         tween->SetRangeMin(10.0);
         tween->SetRangeMax(20.0);
         tween->SetOffset(5.0);
         tween->SetTrueTween(Static(f, 1.0f));
         tween->SetFalseTween(Static(f, -1.0f));
         return tween;
       },
       {{0.0, 0, 1.0f, [](Fixture& f) { SetLevel(f, 16.0); }},
        {1.0, 0, -1.0f, [](Fixture& f) { SetLevel(f, 15.0); }},
        {2.0, 0, -1.0f, [](Fixture& f) { SetLevel(f, 25.0); }},
        {3.0, 0, 1.0f, [](Fixture& f) { SetLevel(f, 24.9); }}}},
      {"condition whose chosen tween is missing or disabled",
       [](Fixture& f) {
         auto tween = KsMakeRef<RangeConditionalTween>();
         auto disabled = Static(f, 1.0f);
         disabled->SetEnabled(false);
         tween->SetFalseTween(disabled);
         return tween;
       },
       {{0.0, 2, kUnwritten}}},
      {"multi tween",
       [](Fixture& f) {
         auto tween = KsMakeRef<MultiTween>();
         tween->SetTweens(KsMakeRef<HcTweenCollection>());
         tween->GetTweens()->Add(Static(f, 5.0f));
         tween->GetTweens()->Add(Static(f, 6.0f, "Other"));
         return tween;
       },
       {{0.0, 0, 5.0f}}},
      {"multi tween answers its last tween",
       [](Fixture& f) {
         auto tween = KsMakeRef<MultiTween>();
         tween->SetTweens(KsMakeRef<HcTweenCollection>());
         tween->GetTweens()->Add(Static(f, 5.0f));
         auto late = Static(f, 6.0f);
         late->SetStartTime(10.0);
         tween->GetTweens()->Add(late);
         return tween;
       },
       {{0.0, 2, 5.0f}, {10.0, 0, 6.0f}}},
      {"evaluator runs its tween on another clock's time",
       [](Fixture& f) {
         f.otherClock->SetTimeNow(3.0);
         auto tween = KsMakeRef<TweenEvaluator>();
         tween->SetEvalClock(f.otherClock);
         tween->SetTween(Ramp<HcLinearFloatTween>(f, 2.0, 4.0, 10.0f, 20.0f));
         return tween;
       },
       {{0.0, 0, 15.0f}, {100.0, 0, 15.0f}}},
      {"evaluator without a clock",
       [](Fixture& f) {
         auto tween = KsMakeRef<TweenEvaluator>();
         tween->SetTween(Static(f, 1.0f));
         return tween;
       },
       {{0.0, 0, kUnwritten}}},
      {"binding through a property that holds a binding",
       [](Fixture& f) {
         f.target->SetInner(BindingTo(f.target, "Value", true));
         auto tween = Static(f, 8.0f, "Inner");
         return tween;
       },
       {{0.0, 0, 8.0f}}},
  };
}

TEST(TweenTable, AManualClockDrivesEveryTweenKind) {
  RegisterAllClasses();
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(scenario.name);
    Fixture f;
    f.target->SetValue(-99.0f);
    KsRef<HcTween> tween = scenario.make(f);
    f.clock->AddTween(tween);
    for (const Step& step : scenario.steps) {
      SCOPED_TRACE(step.t);
      if (step.before) step.before(f);
      f.clock->SetTimeNow(step.t);
      EXPECT_EQ(step.clockResult, f.clock->Idle());
      EXPECT_NEAR(step.value, f.target->GetValue(), 1e-4);
      EXPECT_FALSE(std::isnan(f.target->GetValue()));
    }
  }
}

TEST(TweenTable, WritesThroughAnUnresolvedBindingFail) {
  auto clock = KsMakeRef<HcManualClock>();
  auto tween = KsMakeRef<HcStaticFloatTween>();
  clock->AddTween(tween);
  EXPECT_EQ(-903, clock->Idle());
  // The binding was made on first use and stays the same object.
  EXPECT_TRUE(tween->GetBinding());
  EXPECT_EQ(tween->GetBinding(), tween->GetBinding());
}

TEST(TweenTable, TweensThatHoldThemselvesAreRefused) {
  auto clock = KsMakeRef<HcManualClock>();
  auto multi = KsMakeRef<MultiTween>();
  multi->SetTweens(KsMakeRef<HcTweenCollection>());
  multi->GetTweens()->Add(multi);
  clock->AddTween(multi);
  EXPECT_EQ(-2, clock->Idle());
  multi->GetTweens()->RemoveAllObjects();
}

TEST(TweenTable, SequencesRefuseUnknownInterpolators) {
  auto tween = KsMakeRef<FloatSequenceTween>();
  EXPECT_EQ(-2, tween->SetInterpolator(2));
  EXPECT_EQ(0, tween->GetInterpolator());
  EXPECT_EQ(0, tween->SetInterpolator(1));
  // Lookups need both lists; evaluation without them does nothing.
  float value = 5.0f;
  EXPECT_EQ(-2, tween->GetValueForTime(KsMakeRef<FloatBindingTuple>(), 0.0, &value));
  EXPECT_EQ(0, tween->DoEvaluate(0.0, {}));
  // Two keyframes at one time: the later one holds from there on.
  auto target = KsMakeRef<TweenTarget>();
  auto tuple = KsMakeRef<FloatBindingTuple>();
  for (float t : {0.0f, 1.0f, 1.0f}) tween->GetTimestamps()->Add(t);
  for (float v : {0.0f, 10.0f, 20.0f}) tuple->GetFloats()->Add(v);
  tween->GetBindings()->Add(tuple);
  EXPECT_EQ(0, tween->GetValueForTime(tuple, 1.0, &value));
  EXPECT_FALSE(std::isnan(value));
}

}  // namespace
