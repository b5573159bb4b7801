#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "Time/HcTimeScale.h"

namespace {

KsRef<HcTimeScale> Scale(int32_t timeScale, int64_t granularity) {
  auto scale = KsMakeRef<HcTimeScale>();
  scale->SetTimeScale(timeScale);
  scale->SetGranularity(granularity);
  return scale;
}

TEST(HcTimeScale, ConvertsBetweenSecondsAndCounts) {
  auto scale = KsMakeRef<HcTimeScale>();
  EXPECT_EQ(1000, scale->GetTimeScale());
  EXPECT_EQ(1, scale->GetGranularity());
  EXPECT_EQ(1.5, scale->TimeValueToSeconds(1500));
  EXPECT_EQ(1500, scale->SecondsToTimeValue(1.5));
  EXPECT_EQ(1500, scale->ConvertValueInSeconds(1.5, true, false));
  EXPECT_EQ(1500, scale->ConvertValueInSeconds(1.5, false, false));

  scale->SetTimeScale(2997);
  EXPECT_DOUBLE_EQ(1.0 / 2997, scale->TimeValueToSeconds(1));
}

TEST(HcTimeScale, SnapsToTheGranularity) {
  struct Case {
    int64_t granularity, value;
    bool forceDown;
    int64_t expected;
  };
  const Case cases[] = {
      {100, 1249, false, 1200}, {100, 1250, false, 1300}, {100, 1250, true, 1200}, {100, 1200, false, 1200},
      {3, 7, false, 6},         {3, 8, false, 9},         {0, 1249, false, 1249},  {1, 1249, false, 1249},
      // A count near the end of the range saturates instead of overflowing.
      {1000, std::numeric_limits<int64_t>::max(), false, std::numeric_limits<int64_t>::max()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(c.expected, Scale(1000, c.granularity)->Quantize(c.value, c.forceDown));
  }
  EXPECT_EQ(1300, Scale(1000, 100)->SecondsToTimeValue(1.25));
  EXPECT_EQ(1250, Scale(1000, 100)->ConvertValueInSeconds(1.25, false, false));
  EXPECT_EQ(1200, Scale(1000, 100)->ConvertValueInSeconds(1.25, true, true));
}

TEST(HcTimeScale, ConvertsCountsOfAnotherScale) {
  int64_t result = 0;
  EXPECT_EQ(0, Scale(600, 1)->ConvertValue(1500, Scale(1000, 1), false, false, &result));
  EXPECT_EQ(900, result);
  EXPECT_EQ(0, Scale(3, 1)->ConvertValue(1500, Scale(1000, 1), false, false, &result));
  EXPECT_EQ(4, result);
  EXPECT_EQ(0, Scale(1000, 100)->ConvertValue(1249, Scale(1000, 7), true, false, &result));
  EXPECT_EQ(1200, result);
  // No scale to convert from: an error, and the result is left alone rather
  // than answered as a time of -1.
  result = 77;
  EXPECT_EQ(-2, Scale(600, 1)->ConvertValue(1500, {}, false, false, &result));
  EXPECT_EQ(77, result);
}

TEST(HcTimeScale, RefusesScalesThatCannotCount) {
  auto scale = Scale(600, 10);
  EXPECT_EQ(-2, scale->SetTimeScale(0));
  EXPECT_EQ(-2, scale->SetTimeScale(-30));
  EXPECT_EQ(-2, scale->SetGranularity(-1));
  EXPECT_EQ(600, scale->GetTimeScale());
  EXPECT_EQ(10, scale->GetGranularity());
  EXPECT_DOUBLE_EQ(0.5, scale->TimeValueToSeconds(300));
}

TEST(HcTimeScale, KnowsTheStandardScales) {
  EXPECT_FALSE(HcTimeScale::MakeStandardTimeScale(8));
  EXPECT_FALSE(HcTimeScale::MakeStandardTimeScale(-1));
  auto kind7 = HcTimeScale::MakeStandardTimeScale(7);
  ASSERT_TRUE(kind7);
  EXPECT_EQ(6000, kind7->GetTimeScale());
  EXPECT_EQ(100, kind7->GetGranularity());
  for (int32_t kind = 1; kind < 8; ++kind) {
    EXPECT_EQ(kind, HcTimeScale::MakeStandardTimeScale(kind)->StandardTimeScaleEnum());
  }
  EXPECT_EQ(5, Scale(30000, 1000)->StandardTimeScaleEnum());
  EXPECT_TRUE(Scale(30000, 1000)->IsEqual(HcTimeScale::MakeStandardTimeScale(5)));
  EXPECT_EQ(3, Scale(25, 1)->StandardTimeScaleEnum());
  EXPECT_EQ(-1, Scale(600, 1)->StandardTimeScaleEnum());
  EXPECT_EQ(-1, Scale(1, 1)->StandardTimeScaleEnum());
  EXPECT_FALSE(Scale(1, 1)->IsEqual({}));
}

TEST(HcTimeScale, ScalesCountsByARate) {
  double trueRate = 0.0;
  EXPECT_EQ(1500, Scale(1000, 1)->ScaleValue(1000, 1.5, false, &trueRate));
  EXPECT_EQ(1.5, trueRate);
  EXPECT_EQ(1500, Scale(1000, 100)->ScaleValue(1000, 1.45, true, &trueRate));
  EXPECT_EQ(1.5, trueRate);
  EXPECT_EQ(0, Scale(1000, 1)->ScaleValue(0, 2.0, false, &trueRate));
  EXPECT_EQ(2.0, trueRate);
  EXPECT_EQ(20, Scale(1000, 1)->ScaleValue(10, 2.0, false, nullptr));
}

TEST(HcTimeScale, SaturatesSecondsBeyondTheRange) {
  auto scale = Scale(1000, 1);
  EXPECT_EQ(std::numeric_limits<int64_t>::max(), scale->SecondsToTimeValue(1e300));
  EXPECT_EQ(std::numeric_limits<int64_t>::min(), scale->SecondsToTimeValue(-1e300));
  EXPECT_EQ(0, scale->SecondsToTimeValue(std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
