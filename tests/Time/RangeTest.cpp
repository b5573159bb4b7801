#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "RegisterAllClasses.h"
#include "Time/HcManualClock.h"
#include "Time/ObjectValueRangeTween.h"
#include "TimeTestSupport.h"

namespace {

KsRef<ObjectValueRange> Range(int64_t start, int64_t end, const KsRef<KsObject>& value = {}) {
  auto range = KsMakeRef<ObjectValueRange>();
  range->SetStartTime(start);
  range->SetEndTime(end);
  range->SetObjectValue(value);
  return range;
}

TEST(ObjectValueRange, TestsTimesAgainstItsHalfOpenStretch) {
  struct Case {
    int64_t start, end, t;
    bool in;
    int32_t compare;
  };
  const int64_t big = int64_t{1} << 32;
  const Case cases[] = {
      {100, 200, 99, false, -1},   {100, 200, 100, true, 0},      {100, 200, 199, true, 0},
      {100, 200, 200, false, 1},   {0, 0, -1, false, -1},         {0, 0, 0, false, 1},
      {200, 100, 150, false, -1},  {200, 100, 200, false, 1},     {big, big + 100, big + 99, true, 0},
      {big, big + 100, 99, false, -1}, {big - 1, big + 1, big, true, 0}, {big - 1, big + 1, big + 1, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + " " + std::to_string(c.end) + " " + std::to_string(c.t));
    auto range = Range(c.start, c.end);
    EXPECT_EQ(c.in, range->IsInRange(c.t));
    EXPECT_EQ(c.compare, range->CompareWithTime(c.t));
  }
}

TEST(ObjectValueRange, CopiesShareTheObjectAndKeepTheirTimes) {
  auto value = KsMakeRef<TweenTarget>();
  auto range = Range(-40, 60, value);
  EXPECT_TRUE(range->HasObjectValue());
  EXPECT_FALSE(Range(0, 1)->HasObjectValue());
  KsRef<ObjectValueRange> copy = range->CopyRange();
  EXPECT_EQ(-40, copy->GetStartTime());
  EXPECT_EQ(60, copy->GetEndTime());
  EXPECT_EQ(value, copy->GetObjectValue());
  copy->SetStartTime(5);
  EXPECT_EQ(-40, range->GetStartTime());
}

// The ranges of a collection as "start-end:label" (label "-" for none).
std::string Describe(const KsRef<ObjectValueRangeCollection>& ranges) {
  std::string text;
  for (uint32_t i = 0; i < ranges->GetCount(); ++i) {
    KsRef<ObjectValueRange> r = ranges->GetByIndex(i);
    KsRef<KsObject> value = r->GetObjectValue();
    if (!text.empty()) text += " ";
    text += std::to_string(r->GetStartTime()) + "-" + std::to_string(r->GetEndTime()) + ":" +
            (value ? std::string(value->GetName().View()) : "-");
  }
  return text;
}

KsRef<KsObject> Named(const char* name) {
  auto object = KsMakeRef<TweenTarget>();
  object->SetName(name);
  return object;
}

TEST(ObjectValueRangeTween, KeepsRangesInOrderAndSwitchesThePropertyOnChange) {
  RegisterAllClasses();
  auto holder = KsMakeRef<TweenTarget>();
  auto tween = KsMakeRef<ObjectValueRangeTween>();
  EXPECT_EQ(6000, tween->GetTimeScale()->GetTimeScale());
  tween->SetBinding(BindingTo(holder, "Inner"));
  auto a = Named("a");
  auto b = Named("b");
  EXPECT_EQ(0, tween->AddRange(Range(6000, 12000, b)));
  EXPECT_EQ(0, tween->AddRange(Range(0, 6000, a)));
  EXPECT_EQ(-2, tween->AddRange({}));
  EXPECT_EQ("0-6000:a 6000-12000:b", Describe(tween->GetValueRanges()));
  EXPECT_EQ(0, tween->GetStartTimeTS());
  EXPECT_EQ(12000, tween->GetEndTimeTS());
  EXPECT_EQ(0.0, tween->GetStartTime());
  EXPECT_EQ(2.0, tween->GetEndTime());

  auto clock = KsMakeRef<HcManualClock>();
  clock->AddTween(tween);
  EXPECT_EQ(0, clock->Idle());
  EXPECT_EQ(a, holder->GetInner());
  holder->SetInner({});
  clock->SetTimeNow(0.5);
  EXPECT_EQ(2, clock->Idle());  // still in the same range: nothing written
  EXPECT_FALSE(holder->GetInner());
  clock->SetTimeNow(1.0);  // the end of a range belongs to the next
  EXPECT_EQ(0, clock->Idle());
  EXPECT_EQ(b, holder->GetInner());
  tween->SetEndTime(-1.0);
  clock->SetTimeNow(2.5);
  EXPECT_EQ(0, clock->Idle());
  EXPECT_FALSE(holder->GetInner());
  EXPECT_FALSE(tween->GetCurrentValueRange());

  tween->SetTimeScale({});
  clock->SetTimeNow(0.2);
  EXPECT_EQ(-2, clock->Idle());
}

TEST(ObjectValueRangeTween, FindsRangesAndWhereTheyWouldGo) {
  auto tween = KsMakeRef<ObjectValueRangeTween>();
  auto first = Range(100, 200);
  auto later = Range(100, 150);
  tween->AddRange(first);
  tween->AddRange(later);  // same start: the later one stands first
  tween->AddRange(Range(300, 400));
  EXPECT_EQ(later, tween->GetValueRangeAtTime(120));
  EXPECT_EQ(first, tween->GetValueRangeAtTime(170));
  uint32_t index = 77;
  EXPECT_FALSE(tween->GetValueRangeAtTime(250, &index));
  EXPECT_EQ(2u, index);
  index = 77;
  EXPECT_FALSE(tween->GetValueRangeAtTime(500, &index));
  EXPECT_EQ(77u, index);
}

struct Tweens {
  KsRef<ObjectValueRangeTween> tween = KsMakeRef<ObjectValueRangeTween>();
  void Add(int64_t start, int64_t end, const char* name = nullptr) {
    tween->AddRange(Range(start, end, name ? Named(name) : KsRef<KsObject>()));
  }
};

TEST(ObjectValueRangeTween, CopiesTheRangesOfAStretch) {
  Tweens t;
  t.Add(100, 200, "a");
  t.Add(300, 400, "b");
  struct Case {
    int64_t from, to;
    bool fill;
    const char* expected;
  };
  const Case cases[] = {
      {0, 1000, true, "0-100:- 100-200:a 300-400:b 400-1000:-"},
      {150, 350, true, "100-200:a 300-350:b"},
      {150, 350, false, "100-200:a 300-350:b"},
      {0, 50, true, "0-50:-"},
      {250, 300, true, "250-300:-"},
      // Past every range nothing is copied (and nothing from before).
      {500, 600, true, "500-600:-"},
      {500, 600, false, ""},
      {300, 300, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " " + std::to_string(c.to));
    EXPECT_EQ(c.expected, Describe(t.tween->CopyRangesBetween(c.from, c.to, c.fill)));
  }
  t.Add(200, 300, "c");
  t.Add(500, 600, "d");
  t.Add(600, 700);
  KsRef<Int64Collection> runs = t.tween->GetValuedRunTimes();
  ASSERT_EQ(4u, runs->GetCount());
  EXPECT_EQ(100, runs->GetByIndex(0));
  EXPECT_EQ(400, runs->GetByIndex(1));
  EXPECT_EQ(500, runs->GetByIndex(2));
  EXPECT_EQ(600, runs->GetByIndex(3));
}

TEST(ObjectValueRangeTween, MergingKeepsTheOtherTweensRangesInEveryGap) {
  Tweens mine;
  mine.Add(100, 200, "m1");
  mine.Add(400, 500, "m2");
  Tweens other;
  other.Add(0, 50, "o1");
  other.Add(250, 300, "o2");
  other.Add(600, 700, "o3");
  auto clock = KsMakeRef<HcManualClock>();
  mine.tween->SetClock(clock);

  KsRef<ObjectValueRangeTween> merged = mine.tween->MergeWithRangeTween(other.tween);
  ASSERT_TRUE(merged);
  EXPECT_EQ("0-50:o1 50-100:- 100-200:m1 200-250:- 250-300:o2 300-400:- 400-500:m2 500-600:- 600-700:o3",
            Describe(merged->GetValueRanges()));
  EXPECT_EQ(mine.tween->GetTimeScale(), merged->GetTimeScale());
  EXPECT_EQ(clock, merged->GetClock());
  EXPECT_EQ(0, merged->GetStartTimeTS());
  EXPECT_EQ(700, merged->GetEndTimeTS());
  merged->SetClock({});
  mine.tween->SetClock({});

  // Nothing of its own: the other tween's ranges (gaps between them stay gaps).
  Tweens empty;
  EXPECT_EQ("0-50:o1 250-300:o2 600-700:o3",
            Describe(empty.tween->MergeWithRangeTween(other.tween)->GetValueRanges()));
  EXPECT_FALSE(mine.tween->MergeWithRangeTween({}));
  other.tween->SetTimeScale(HcTimeScale::MakeStandardTimeScale(3));
  EXPECT_FALSE(mine.tween->MergeWithRangeTween(other.tween));
  other.tween->SetTimeScale({});
  EXPECT_TRUE(mine.tween->MergeWithRangeTween(other.tween));
}

}  // namespace
