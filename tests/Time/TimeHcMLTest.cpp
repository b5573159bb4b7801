#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "General/FloatCollection.h"
#include "General/ObjectCollection.h"
#include "RegisterAllClasses.h"
#include "Time/ConvergentTransition.h"
#include "Time/DoNothingTween.h"
#include "Time/FloatBindingTupleCollection.h"
#include "Time/FloatSequenceTween.h"
#include "Time/FrequencyTracker.h"
#include "Time/HcAbsVelocityTween.h"
#include "Time/HcClockCollection.h"
#include "Time/HcFloatForwardingTween.h"
#include "Time/HcGoalCollection.h"
#include "Time/HcManualClock.h"
#include "Time/HcMovieClock.h"
#include "Time/HcMovieTween.h"
#include "Time/HcSineFloatTween.h"
#include "Time/HcSmoothFloatTween.h"
#include "Time/HcStaticFloatTween.h"
#include "Time/HcTimeScaleCollection.h"
#include "Time/HcVelocityTween.h"
#include "Time/MultiTween.h"
#include "Time/ObjectValueRangeTween.h"
#include "Time/QTSystemClock.h"
#include "Time/RangeConditionalTween.h"
#include "Time/TweenEvaluator.h"
#include "TimeTestSupport.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

std::string Write(const KsRef<KsObject>& object) {
  PWStringRef text = WriteObjectToHcMLString(object, "entry");
  return text ? text.Str() : std::string();
}

// Written as HcML, checked by xmllint, and loaded back.
KsRef<KsObject> RoundTrip(const KsRef<KsObject>& object, std::string* text) {
  *text = Write(object);
  EXPECT_FALSE(text->empty());
  EXPECT_TRUE(XmllintAccepts(*text)) << *text;
  auto list = KsMakeRef<ObjectCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(PWStringRef(*text));
  EXPECT_EQ(0, loader->LoadHcML()) << *text;
  EXPECT_EQ(1u, list->GetCount()) << *text;
  KsRef<KsObject> loaded;
  list->GetObjectByIndex(0, &loaded);
  return loaded;
}

KsRef<HcPropertyBindingBase> Bound(const char* property) {
  auto target = KsMakeRef<TweenTarget>();
  target->SetName("target");
  return BindingTo(target, property);
}

template <class T>
KsRef<T> Windowed(KsRef<T> tween) {
  tween->SetStartTime(1.25);
  tween->SetEndTime(7.5);
  tween->SetEnabled(false);
  return tween;
}

KsRef<LookDirectionValue> TimedDirection(float pan, float tilt, float vfov) {
  auto direction = KsMakeRef<LookDirectionValue>();
  direction->SetPanAngle(pan);
  direction->SetTiltAngle(tilt);
  direction->SetVFOV(vfov);
  return direction;
}

struct Case {
  const char* className;  // the HcML name the text must carry
  std::function<KsRef<KsObject>()> make;
  std::function<void(const KsRef<KsObject>& loaded, const std::string& text)> check = {};
};

std::vector<Case> Cases() {
  return {
      {"HcTimeScale",
       [] {
         auto scale = KsMakeRef<HcTimeScale>();
         scale->SetTimeScale(2997);
         scale->SetGranularity(100);
         return scale;
       },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto scale = loaded.DynamicCast<HcTimeScale>();
         ASSERT_TRUE(scale);
         EXPECT_EQ(2997, scale->GetTimeScale());
         EXPECT_EQ(100, scale->GetGranularity());
         EXPECT_EQ(4, scale->StandardTimeScaleEnum());
       }},
      {"HcTimeScaleCollection",
       [] {
         auto scales = KsMakeRef<HcTimeScaleCollection>();
         scales->Add(HcTimeScale::MakeStandardTimeScale(3));
         scales->Add(HcTimeScale::MakeStandardTimeScale(7));
         return scales;
       }},
      {"HcManualClock",
       [] {
         auto clock = KsMakeRef<HcManualClock>();
         clock->SetIdleTimeout(4.5);
         clock->SetUseIdleTransition(true);
         clock->SetIdleTransition(KsMakeRef<ConvergentTransition>());
         clock->AddTween(Windowed(KsMakeRef<DoNothingTween>()));
         clock->GetDependentClocks()->Add(KsMakeRef<QTSystemClock>());
         clock->SetTimeNow(3.0);
         return clock;
       },
       [](const KsRef<KsObject>& loaded, const std::string& text) {
         EXPECT_EQ(std::string::npos, text.find("TimeNow"));
         EXPECT_EQ(std::string::npos, text.find("Dirty"));
         auto clock = loaded.DynamicCast<HcManualClock>();
         ASSERT_TRUE(clock);
         EXPECT_EQ(4.5, clock->GetIdleTimeout());
         EXPECT_TRUE(clock->GetUseIdleTransition());
         EXPECT_TRUE(clock->GetIdleTransition().DynamicCast<ConvergentTransition>());
         EXPECT_EQ(1u, clock->GetTweens()->GetCount());
         EXPECT_TRUE(clock->GetDependentClocks()->GetByIndex(0).DynamicCast<QTSystemClock>());
         EXPECT_EQ(0.0, clock->GetTimeNow());
       }},
      {"HcClockCollection",
       [] {
         auto clocks = KsMakeRef<HcClockCollection>();
         clocks->Add(KsMakeRef<HcManualClock>());
         clocks->Add(KsMakeRef<HcMovieClock>());
         return clocks;
       }},
      {"QTSystemClock", [] { return KsMakeRef<QTSystemClock>(); },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto clock = loaded.DynamicCast<QTSystemClock>();
         ASSERT_TRUE(clock);
         EXPECT_FALSE(clock->IsShared());
       }},
      {"HcMovieClock",
       [] {
         auto clock = KsMakeRef<HcMovieClock>();
         clock->SetIdleTimeout(2.0);
         return clock;
       },
       [](const KsRef<KsObject>&, const std::string& text) {
         for (const char* name : {"MovieArb", "Rate", "Duration", "Selection", "IsLooping"}) {
           EXPECT_EQ(std::string::npos, text.find(name)) << name;
         }
       }},
      {"HcTransition",
       [] {
         auto transition = KsMakeRef<HcTransition>();
         transition->SetDuration(2.5);
         auto goal = KsMakeRef<HcGoal>();
         goal->SetPropertyName("PanAngle");
         goal->SetValue(1.1f);
         transition->GetGoals()->Add(goal);
         auto second = KsMakeRef<HcGoal>();
         second->SetPropertyName("VFOV");
         second->SetTarget(KsMakeRef<TweenTarget>());
         transition->GetGoals()->Add(second);
         transition->SetTarget(KsMakeRef<TweenTarget>());
         return transition;
       },
       [](const KsRef<KsObject>& loaded, const std::string& text) {
         EXPECT_NE(std::string::npos, text.find("\"goals\"")) << text;
         EXPECT_NE(std::string::npos, text.find("<goal ")) << text;
         auto transition = loaded.DynamicCast<HcTransition>();
         ASSERT_TRUE(transition);
         EXPECT_EQ(2.5, transition->GetDuration());
         ASSERT_EQ(2u, transition->GetGoals()->GetCount());
         EXPECT_EQ(PWStringRef("PanAngle"), transition->GetGoals()->GetByIndex(0)->GetPropertyName());
         EXPECT_EQ(1.1f, transition->GetGoals()->GetByIndex(0)->GetValue());
         EXPECT_EQ(PWStringRef("VFOV"), transition->GetGoals()->GetByIndex(1)->GetPropertyName());
       }},
      {"ConvergentTransition",
       [] {
         auto transition = KsMakeRef<ConvergentTransition>();
         transition->SetTargetTween(KsMakeRef<HcMovieTween>());
         return transition;
       },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto transition = loaded.DynamicCast<ConvergentTransition>();
         ASSERT_TRUE(transition);
         EXPECT_TRUE(transition->GetTargetTween().DynamicCast<HcMovieTween>());
       }},
      {"HcGoal",
       [] {
         auto goal = KsMakeRef<HcGoal>();
         goal->SetPropertyName("TiltAngle");
         goal->SetValue(-12.5f);
         return goal;
       }},
      {"goals", [] { return KsMakeRef<HcGoalCollection>(); }},
      {"RangeConditionalTween",
       [] {
         auto tween = Windowed(KsMakeRef<RangeConditionalTween>());
         tween->SetTargetProperty(Bound("Level"));
         tween->SetRangeMin(-10.0);
         tween->SetRangeMax(10.0);
         tween->SetOffset(90.0);
         tween->SetTrueTween(KsMakeRef<DoNothingTween>());
         tween->SetFalseTween(KsMakeRef<HcStaticFloatTween>());
         return tween;
       },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto tween = loaded.DynamicCast<RangeConditionalTween>();
         ASSERT_TRUE(tween);
         EXPECT_EQ(90.0, tween->GetOffset());
         EXPECT_TRUE(tween->GetTrueTween().DynamicCast<DoNothingTween>());
         EXPECT_TRUE(tween->GetFalseTween().DynamicCast<HcStaticFloatTween>());
         EXPECT_EQ(PWStringRef("Level"), tween->GetTargetProperty()->GetPropertyName());
         EXPECT_EQ(1.25, tween->GetStartTime());
         EXPECT_FALSE(tween->GetEnabled());
       }},
      {"tweens",
       [] {
         auto tweens = KsMakeRef<HcTweenCollection>();
         tweens->Add(KsMakeRef<DoNothingTween>());
         tweens->Add(KsMakeRef<HcStaticFloatTween>());
         return tweens;
       },
       [](const KsRef<KsObject>& loaded, const std::string& text) {
         EXPECT_NE(std::string::npos, text.find("<tween ")) << text;
         EXPECT_EQ(2u, loaded.DynamicCast<HcTweenCollection>()->GetCount());
       }},
      {"TweenEvaluator",
       [] {
         auto tween = KsMakeRef<TweenEvaluator>();
         tween->SetTween(KsMakeRef<DoNothingTween>());
         tween->SetEvalClock(KsMakeRef<HcManualClock>());
         return tween;
       }},
      {"MultiTween",
       [] {
         auto tween = KsMakeRef<MultiTween>();
         tween->SetTweens(KsMakeRef<HcTweenCollection>());
         tween->GetTweens()->Add(KsMakeRef<DoNothingTween>());
         return tween;
       }},
      {"DoNothingTween", [] { return Windowed(KsMakeRef<DoNothingTween>()); }},
      {"HcStaticFloatTween",
       [] {
         auto tween = Windowed(KsMakeRef<HcStaticFloatTween>());
         tween->SetBinding(Bound("Value"));
         tween->SetValue(3.25f);
         return tween;
       },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto tween = loaded.DynamicCast<HcStaticFloatTween>();
         ASSERT_TRUE(tween);
         EXPECT_EQ(3.25f, tween->GetValue());
         KsRef<HcPropertyBindingBase> binding = tween->GetBinding();
         EXPECT_EQ(PWStringRef("Value"), binding->GetPropertyName());
         EXPECT_TRUE(binding->IsResolved());
       }},
      {"HcLinearFloatTween",
       [] {
         auto tween = Windowed(KsMakeRef<HcLinearFloatTween>());
         tween->SetStartValue(-1.5f);
         tween->SetEndValue(9.0f);
         return tween;
       }},
      {"HcSmoothFloatTween",
       [] {
         auto tween = KsMakeRef<HcSmoothFloatTween>();
         tween->SetStartValue(2.0f);
         tween->SetEndValue(4.0f);
         return tween;
       },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto tween = loaded.DynamicCast<HcSmoothFloatTween>();
         ASSERT_TRUE(tween);
         EXPECT_EQ(4.0f, tween->GetEndValue());
       }},
      {"HcSineFloatTween",
       [] {
         auto tween = KsMakeRef<HcSineFloatTween>();
         tween->SetPeriod(3.0f);
         tween->SetAmplitude(0.5f);
         tween->SetStartPhase(0.75f);
         tween->SetOffset(-2.0f);
         return tween;
       }},
      {"HcVelocityTween",
       [] {
         auto tween = KsMakeRef<HcVelocityTween>();
         tween->SetVelocity(-6.5f);
         return tween;
       }},
      {"HcAbsVelocityTween",
       [] {
         auto tween = KsMakeRef<HcAbsVelocityTween>();
         tween->SetVelocity(20.0f);
         tween->SetModulus(360.0f);
         return tween;
       }},
      {"HcFloatForwardingTween",
       [] {
         auto tween = KsMakeRef<HcFloatForwardingTween>();
         tween->SetSourceBinding(Bound("Other"));
         tween->SetScale(10.0f);
         tween->SetOffset(1.0f);
         tween->SetOptimizeSets(false);
         return tween;
       },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto tween = loaded.DynamicCast<HcFloatForwardingTween>();
         ASSERT_TRUE(tween);
         EXPECT_FALSE(tween->GetOptimizeSets());
         EXPECT_EQ(PWStringRef("Other"), tween->GetSourceBinding()->GetPropertyName());
       }},
      {"FloatSequenceTween",
       [] {
         auto tween = KsMakeRef<FloatSequenceTween>();
         for (float t : {0.0f, 1.5f, 3.0f}) tween->GetTimestamps()->Add(t);
         auto tuple = KsMakeRef<FloatBindingTuple>();
         tuple->SetBinding(Bound("Value"));
         for (float v : {1.0f, 2.0f, 4.0f}) tuple->GetFloats()->Add(v);
         tween->GetBindings()->Add(tuple);
         tween->SetInterpolator(FloatSequenceTween::kLinear);
         tween->SetTimeOffset(0.5);
         return tween;
       },
       [](const KsRef<KsObject>& loaded, const std::string& text) {
         EXPECT_NE(std::string::npos, text.find("\"bindingtuples\"")) << text;
         EXPECT_NE(std::string::npos, text.find("<bindingtuple ")) << text;
         auto tween = loaded.DynamicCast<FloatSequenceTween>();
         ASSERT_TRUE(tween);
         EXPECT_EQ(3u, tween->GetTimestamps()->GetCount());
         EXPECT_EQ(1, tween->GetInterpolator());
         EXPECT_EQ(0.5, tween->GetTimeOffset());
         ASSERT_EQ(1u, tween->GetBindings()->GetCount());
         EXPECT_EQ(4.0f, tween->GetBindings()->GetByIndex(0)->GetFloats()->GetByIndex(2));
       }},
      {"FloatBindingTuple",
       [] {
         auto tuple = KsMakeRef<FloatBindingTuple>();
         tuple->GetFloats()->Add(7.0f);
         return tuple;
       }},
      {"bindingtuples", [] { return KsMakeRef<FloatBindingTupleCollection>(); }},
      {"ObjectValueRange",
       [] {
         auto range = KsMakeRef<ObjectValueRange>();
         range->SetStartTime((int64_t{1} << 33) + 5);
         range->SetEndTime((int64_t{1} << 33) + 500);
         range->SetObjectValue(TimedDirection(1, 2, 3));
         return range;
       },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto range = loaded.DynamicCast<ObjectValueRange>();
         ASSERT_TRUE(range);
         EXPECT_EQ((int64_t{1} << 33) + 5, range->GetStartTime());
         EXPECT_TRUE(range->GetObjectValue().DynamicCast<LookDirectionValue>());
       }},
      {"ObjectValueRangeCollection",
       [] {
         auto ranges = KsMakeRef<ObjectValueRangeCollection>();
         ranges->Add(KsMakeRef<ObjectValueRange>());
         return ranges;
       }},
      {"HcValueRangeTween",
       [] {
         auto tween = KsMakeRef<ObjectValueRangeTween>();
         auto range = KsMakeRef<ObjectValueRange>();
         range->SetStartTime(600);
         range->SetEndTime(1200);
         tween->AddRange(range);
         tween->SetBinding(Bound("Inner"));
         return tween;
       },
       [](const KsRef<KsObject>& loaded, const std::string& text) {
         EXPECT_EQ(std::string::npos, text.find("CurrentValueRange"));
         auto tween = loaded.DynamicCast<ObjectValueRangeTween>();
         ASSERT_TRUE(tween);
         EXPECT_EQ(1u, tween->GetValueRanges()->GetCount());
         EXPECT_EQ(600, tween->GetStartTimeTS());
         EXPECT_EQ(1200, tween->GetEndTimeTS());
         EXPECT_EQ(6000, tween->GetTimeScale()->GetTimeScale());
       }},
      {"FrequencyTracker",
       [] {
         auto tracker = KsMakeRef<FrequencyTracker>();
         tracker->SetSampleWindow(60);
         tracker->SetClock(KsMakeRef<HcManualClock>());
         return tracker;
       },
       [](const KsRef<KsObject>& loaded, const std::string& text) {
         EXPECT_EQ(std::string::npos, text.find("RunningAvg"));
         auto tracker = loaded.DynamicCast<FrequencyTracker>();
         ASSERT_TRUE(tracker);
         EXPECT_EQ(60u, tracker->GetSampleWindow());
         EXPECT_TRUE(tracker->GetClock().DynamicCast<HcManualClock>());
       }},
      {"LookDirectionValue", [] { return TimedDirection(-12.5f, 33.0f, 75.0f); },
       [](const KsRef<KsObject>& loaded, const std::string&) {
         auto direction = loaded.DynamicCast<LookDirectionValue>();
         ASSERT_TRUE(direction);
         EXPECT_EQ(-12.5f, direction->GetPanAngle());
         EXPECT_EQ(33.0f, direction->GetTiltAngle());
         EXPECT_EQ(75.0f, direction->GetVFOV());
       }},
      {"HcMovieTween",
       [] {
         auto tween = KsMakeRef<HcMovieTween>();
         tween->SetTimeScale(HcTimeScale::MakeStandardTimeScale(3));
         auto way = TimedDirection(50, 0, 60);
         auto in = KsMakeRef<HcMovieTweenLookMarker>();
         in->SetRightLookDirection(TimedDirection(0, 0, 60));
         in->SetRightPanPolarity(-1);
         auto waypoint = KsMakeRef<HcMovieTweenLookMarker>();
         waypoint->SetTimeValue(2500);
         waypoint->SetLeftLookDirection(way);
         waypoint->SetRightLookDirection(way);
         waypoint->SetLeftIsImplicit(true);
         tween->GetMarkers()->Add(in);
         tween->GetMarkers()->Add(waypoint);
         tween->SetPanBinding(Bound("PanAngle"));
         return tween;
       },
       [](const KsRef<KsObject>& loaded, const std::string& text) {
         EXPECT_EQ(std::string::npos, text.find("BindToView"));
         EXPECT_EQ(std::string::npos, text.find("MarkerType"));
         auto tween = loaded.DynamicCast<HcMovieTween>();
         ASSERT_TRUE(tween);
         ASSERT_EQ(2u, tween->GetMarkers()->GetCount());
         auto in = tween->GetMarkers()->GetByIndex(0);
         auto waypoint = tween->GetMarkers()->GetByIndex(1);
         EXPECT_EQ(HcMovieTweenLookMarker::kIn, in->GetMarkerType());
         EXPECT_EQ(-1, in->GetRightPanPolarity());
         EXPECT_EQ(HcMovieTweenLookMarker::kWaypoint, waypoint->GetMarkerType());
         EXPECT_EQ(2500, waypoint->GetTimeValue());
         EXPECT_TRUE(waypoint->GetLeftIsImplicit());
         EXPECT_EQ(2500, tween->GetTimeScale()->GetTimeScale());
         EXPECT_TRUE(tween->GetPanBinding());
         EXPECT_FALSE(tween->GetTiltBinding());
       }},
      {"HcMovieTweenLookMarker",
       [] {
         auto marker = KsMakeRef<HcMovieTweenLookMarker>();
         marker->SetTimeValue(-25);
         marker->SetLeftLookDirection(TimedDirection(1, 2, 3));
         return marker;
       }},
      {"HcMovieTweenLookMarkerCollection", [] { return KsMakeRef<HcMovieTweenLookMarkerCollection>(); }},
  };
}

TEST(TimeHcML, EveryClassWritesValidHcMLAndReadsBackTheSame) {
  RegisterAllClasses();
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.className);
    KsRef<KsObject> original = c.make();
    std::string text;
    KsRef<KsObject> loaded = RoundTrip(original, &text);
    ASSERT_TRUE(loaded) << text;
    EXPECT_EQ(original->GetClassObject(), loaded->GetClassObject());
    EXPECT_EQ(PWStringRef(c.className), loaded->GetClassObject()->GetName());
    EXPECT_NE(std::string::npos, text.find(std::string("\"") + c.className + "\"")) << text;
    // Read back and written again, it says the same.
    EXPECT_EQ(text, Write(loaded));
    if (c.check) c.check(loaded, text);
  }
}

TEST(TimeHcML, AbstractClassesCreateNothing) {
  RegisterAllClasses();
  for (const char* name : {"HcClock", "HcTween", "HcPropertyTween", "ConditionalTween"}) {
    KsRef<KsClassObject> classObject = HcClassMap::FindClassObject(name);
    ASSERT_TRUE(classObject) << name;
    KsRef<KsObject> object;
    classObject->CreateObject(object);
    EXPECT_FALSE(object) << name;
  }
}

TEST(TimeHcML, LoadingAnUnknownInterpolatorIsRefused) {
  RegisterAllClasses();
  auto tween = KsMakeRef<FloatSequenceTween>();
  KsRef<HcProperty> property = tween->GetClassObject()->FindProperty(PWStringRef("Interpolator"));
  ASSERT_TRUE(property);
  EXPECT_EQ(-2, property->SetValueFromText(tween.Get(), PWStringRef("2")));
  EXPECT_EQ(0, tween->GetInterpolator());
  EXPECT_EQ(0, property->SetValueFromText(tween.Get(), PWStringRef("1")));
  EXPECT_EQ(1, tween->GetInterpolator());
}

}  // namespace
