#include <gtest/gtest.h>

#include <initializer_list>

#include "Time/FrequencyTracker.h"
#include "Time/HcManualClock.h"
#include "Time/QTSystemClock.h"

namespace {

struct Tracked {
  KsRef<HcManualClock> clock = KsMakeRef<HcManualClock>();
  KsRef<FrequencyTracker> tracker = KsMakeRef<FrequencyTracker>();
  explicit Tracked(uint32_t window) {
    tracker->SetClock(clock);
    tracker->SetSampleWindow(window);
  }
  void SampleAt(std::initializer_list<double> times) {
    for (double t : times) {
      clock->SetTimeNow(t);
      tracker->AddSample();
    }
  }
};

TEST(FrequencyTracker, StartsEmptyOnTheSharedClock) {
  auto tracker = KsMakeRef<FrequencyTracker>();
  EXPECT_EQ(QTSystemClock::GetSharedClock(), tracker->GetClock());
  EXPECT_EQ(128u, tracker->GetSampleWindow());
  EXPECT_EQ(0.0f, tracker->GetRunningAvg());
  EXPECT_EQ(0.0f, tracker->GetTimeWindow());
}

TEST(FrequencyTracker, CountsIntervalsOverTheSpanOfItsRing) {
  struct Case {
    uint32_t window;
    std::initializer_list<double> times;
    float span, rate;
  };
  const Case cases[] = {
      {4, {1.0}, 0.0f, 0.0f},
      {4, {1.0, 1.0, 1.0}, 0.0f, 0.0f},
      {4, {1.0, 1.5, 2.0}, 1.0f, 2.0f},
      {4, {1.0, 2.0, 3.0, 4.0, 5.0}, 3.0f, 1.0f},
      // A steady 60 per second over a full ring reads 60.
      {60, {}, 59.0f / 60.0f, 60.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    Tracked t(c.window);
    t.SampleAt(c.times);
    if (c.times.size() == 0) {
      for (int i = 0; i < 200; ++i) t.SampleAt({1e6 + i / 60.0});
    }
    EXPECT_FLOAT_EQ(c.span, t.tracker->GetTimeWindow());
    EXPECT_NEAR(c.rate, t.tracker->GetRunningAvg(), 1e-3);
  }
}

TEST(FrequencyTracker, RefusesUnusableWindowsAndKeepsItsSamples) {
  Tracked t(4);
  t.SampleAt({1.0, 1.5, 2.0});
  EXPECT_EQ(-2, t.tracker->SetSampleWindow(0));
  EXPECT_EQ(-2, t.tracker->SetSampleWindow(FrequencyTracker::kMaxSampleWindow + 1));
  EXPECT_EQ(4u, t.tracker->GetSampleWindow());
  EXPECT_FLOAT_EQ(2.0f, t.tracker->GetRunningAvg());
  EXPECT_EQ(0, t.tracker->SetSampleWindow(8));
  EXPECT_EQ(0.0f, t.tracker->GetTimeWindow());

  t.SampleAt({3.0, 4.0});
  t.tracker->SetClock({});
  t.tracker->AddSample();
  EXPECT_FLOAT_EQ(1.0f, t.tracker->GetRunningAvg());
}

}  // namespace
