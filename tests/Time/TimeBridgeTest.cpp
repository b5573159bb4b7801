#include <gtest/gtest.h>

#include <cstdio>

#include "General/CocoaBridge.h"
#include "RegisterAllClasses.h"
#include "Time/DoNothingTween.h"
#include "Time/FrequencyTracker.h"
#include "Time/HcManualClock.h"
#include "Time/HcMovieClock.h"
#include "Time/HcMovieTween.h"
#include "Time/ObjectValueRangeTween.h"
#include "platform/runtime/MessageSend.h"

namespace {

namespace rt = hc::runtime;
using V = rt::Value;

// Sends the selector to the object's proxy; the result box.
V Send(const KsRef<KsObject>& object, const char* selector, std::initializer_list<V> arguments = {}) {
  V result;
  EXPECT_EQ(rt::RuntimeErr::Ok, rt::Send(GetCocoaObject(object.Get()).Get(), selector, arguments, &result))
      << selector;
  return result;
}

V Proxy(const KsRef<KsObject>& object) {
  if (!object) return V::Nil();
  return V::Object(GetCocoaObject(object.Get()));
}

template <class T>
KsRef<T> Model(const V& value) {
  return KsObjectFromCocoa(value.GetObject()).template DynamicCast<T>();
}

KsRef<HcTimeScale> Scale(int32_t units, int64_t granularity) {
  auto scale = KsMakeRef<HcTimeScale>();
  scale->SetTimeScale(units);
  scale->SetGranularity(granularity);
  return scale;
}

TEST(TimeBridge, TimeScaleSelectorsCallTheirOperations) {
  RegisterAllClasses();
  V made;
  const rt::Id cls = rt::ClassAsId(HcTimeScale::ClassGetClassObject()->GetCocoaClass());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(cls, "makeStandardTimeScale:", {V::Int(5)}, &made));
  KsRef<HcTimeScale> kind5 = Model<HcTimeScale>(made);
  ASSERT_TRUE(kind5);
  EXPECT_EQ(3000, kind5->GetTimeScale());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(cls, "makeStandardTimeScale:", {V::Int(9)}, &made));
  EXPECT_FALSE(Model<HcTimeScale>(made));

  auto scale = Scale(1000, 100);
  EXPECT_EQ(V::Int(5), Send(kind5, "standardTimeScaleEnum"));
  EXPECT_EQ(V::Double(1.5), Send(scale, "timeValueToSeconds:", {V::Int64(1500)}));
  EXPECT_EQ(V::Int64(1300), Send(scale, "secondsToTimeValue:", {V::Double(1.25)}));
  EXPECT_EQ(V::Int64(1200), Send(scale, "convertValueInSeconds:requantize:forceRoundDown:",
                                 {V::Double(1.25), V::Bool(true), V::Bool(true)}));
  EXPECT_EQ(V::Int64(2500), Send(scale, "convertValue:fromTimeScale:requantize:forceRoundDown:",
                                 {V::Int64(1500), Proxy(Scale(600, 1)), V::Bool(false), V::Bool(false)}));
  EXPECT_EQ(V::Int64(-1), Send(scale, "convertValue:fromTimeScale:requantize:forceRoundDown:",
                               {V::Int64(1500), V::Nil(), V::Bool(false), V::Bool(false)}));
  double trueRate = 0.0;
  EXPECT_EQ(V::Int64(1500), Send(scale, "scaleValue:byRate:quantize:trueRate:",
                                 {V::Int64(1000), V::Double(1.45), V::Bool(true), V::OutPointer(&trueRate)}));
  EXPECT_EQ(1.5, trueRate);
  EXPECT_EQ(V::Int64(1450), Send(scale, "scaleValue:byRate:quantize:trueRate:",
                                 {V::Int64(1000), V::Double(1.45), V::Bool(false), V::Pointer(nullptr, 'd')}));
  EXPECT_EQ(V::Bool(true), Send(Scale(30000, 1000), "isEqual:", {Proxy(kind5)}));
  EXPECT_EQ(V::Bool(false), Send(scale, "isEqual:", {Proxy(kind5)}));
}

TEST(TimeBridge, ClockSelectorsCallTheirOperations) {
  RegisterAllClasses();
  auto clock = KsMakeRef<HcManualClock>();
  auto tween = KsMakeRef<DoNothingTween>();
  EXPECT_EQ(V::Int(2), Send(clock, "idle"));
  EXPECT_EQ(V::Int(0), Send(clock, "attachTweennewTween:", {Proxy(tween)}));
  EXPECT_EQ(V::Int(0), Send(clock, "idle"));
  EXPECT_EQ(V::Int(0), Send(clock, "detachTweentweenToRemove:", {Proxy(tween)}));
  EXPECT_EQ(V::Int(-607), Send(clock, "detachTweentweenToRemove:", {Proxy(tween)}));
  EXPECT_EQ(V::Int(-2), Send(clock, "attachTweennewTween:", {V::Nil()}));
  EXPECT_EQ(V::Int(0), Send(clock, "resetIdle"));
  EXPECT_TRUE(clock->GetDirty());
  EXPECT_EQ(V::Int(-903), Send(KsMakeRef<HcMovieClock>(), "makeRelativeTo:withOffset:", {V::Nil(), V::Int64(0)}));
}

TEST(TimeBridge, MovieTweenSelectorsCallTheirOperations) {
  RegisterAllClasses();
  auto tween = KsMakeRef<HcMovieTween>();
  tween->SetTimeScale(KsMakeRef<HcTimeScale>());
  auto direction = KsMakeRef<LookDirectionValue>();
  direction->SetPanAngle(30.0f);
  for (int64_t time : {1000, 3000}) {
    auto marker = KsMakeRef<HcMovieTweenLookMarker>();
    marker->SetTimeValue(time);
    if (time == 1000) marker->SetRightLookDirection(direction);
    else marker->SetLeftLookDirection(direction);
    tween->GetMarkers()->Add(marker);
  }
  EXPECT_EQ(direction, Model<LookDirectionValue>(Send(tween, "lookDirectionAtTimetime:", {V::Int64(3000)})));
  EXPECT_FLOAT_EQ(30.0f,
                  Model<LookDirectionValue>(Send(tween, "lookDirectionAtTimetime:", {V::Int64(2000)}))->GetPanAngle());
  EXPECT_TRUE(Send(tween, "lookDirectionAtTimetime:", {V::Int64(5000)}).IsNil());
  EXPECT_EQ(V::Int(0), Send(tween, "resetStartEndTimes"));
  EXPECT_EQ(3.0, tween->GetEndTime());
  EXPECT_EQ(V::Int(0), Send(tween, "validate"));
  testing::internal::CaptureStdout();
  EXPECT_EQ(V::Int(0), Send(tween, "traceTween"));
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("    00003000 | Out  |"));
}

TEST(TimeBridge, RangeSelectorsCallTheirOperations) {
  RegisterAllClasses();
  auto range = KsMakeRef<ObjectValueRange>();
  range->SetStartTime(100);
  range->SetEndTime(200);
  EXPECT_EQ(V::Bool(true), Send(range, "isInRangetime:", {V::Int64(150)}));
  EXPECT_EQ(V::Int(1), Send(range, "compareWithTimecompareTime:", {V::Int64(200)}));
  EXPECT_EQ(V::Bool(false), Send(range, "hasObjectValue"));
  KsRef<ObjectValueRange> copy = Model<ObjectValueRange>(Send(range, "copyRange"));
  ASSERT_TRUE(copy);
  EXPECT_NE(range, copy);
  EXPECT_EQ(200, copy->GetEndTime());

  auto tween = KsMakeRef<ObjectValueRangeTween>();
  EXPECT_EQ(V::Int(0), Send(tween, "addRangerange:", {Proxy(range)}));
  EXPECT_EQ(V::Int(-2), Send(tween, "addRangerange:", {V::Nil()}));
  uint32_t index = 9;
  EXPECT_EQ(range, Model<ObjectValueRange>(Send(tween, "getValueRangeAtTimetime:outIndex:",
                                                {V::Int64(120), V::OutPointer(&index)})));
  EXPECT_EQ(0u, index);
  EXPECT_TRUE(Send(tween, "getValueRangeAtTimetime:outIndex:", {V::Int64(20), V::Pointer(nullptr, 'I')}).IsNil());
  EXPECT_TRUE(Model<ObjectValueRangeTween>(
      Send(tween, "mergeWithRangeTweenmergeTween:", {Proxy(KsMakeRef<ObjectValueRangeTween>())})));
  EXPECT_TRUE(Send(tween, "mergeWithRangeTweenmergeTween:", {V::Nil()}).IsNil());
}

TEST(TimeBridge, SampleNowAddsASample) {
  RegisterAllClasses();
  auto tracker = KsMakeRef<FrequencyTracker>();
  auto clock = KsMakeRef<HcManualClock>();
  tracker->SetClock(clock);
  for (double t : {1.0, 1.5, 2.0}) {
    clock->SetTimeNow(t);
    Send(tracker, "sampleNow");
  }
  EXPECT_FLOAT_EQ(2.0f, tracker->GetRunningAvg());
}

}  // namespace
