#include "platform/playback/TimeBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using hc::playback::TimeBase;

namespace {

constexpr uint64_t kSecond = 1000000000;

// A time base on a hand-driven host clock.
struct ManualTimeBase {
  uint64_t host = 5 * kSecond;
  std::shared_ptr<TimeBase> base = std::make_shared<TimeBase>(600);
  std::vector<bool> ends;

  explicit ManualTimeBase(double stopSeconds = 10.0) {
    base->SetHostClock([this] { return host; });
    base->SetStopTime(static_cast<int64_t>(stopSeconds * 600), 600);
    base->SetEndCallback([this](bool atEnd) { ends.push_back(atEnd); });
  }
  void Advance(double seconds) { host += static_cast<uint64_t>(seconds * kSecond); }
};

TEST(TimeBaseTest, TimeFollowsRateAndHostClock) {
  struct Case {
    double rate;
    double start;
    double after;     // seconds of host time
    double expected;  // movie seconds
  };
  const Case cases[] = {
      {1.0, 0.0, 2.5, 2.5}, {2.0, 1.0, 1.5, 4.0}, {0.5, 0.0, 3.0, 1.5},
      {-1.0, 5.0, 2.0, 3.0}, {0.0, 4.0, 3.0, 4.0},
      {1.0, 9.0, 5.0, 10.0},   // held at the stop time
      {-2.0, 1.0, 5.0, 0.0},   // held at the start time
  };
  for (const Case& test : cases) {
    ManualTimeBase clock;
    clock.base->SetSeconds(test.start);
    clock.base->SetRate(test.rate);
    clock.Advance(test.after);
    EXPECT_NEAR(clock.base->Seconds(), test.expected, 1e-9) << "rate " << test.rate << " from " << test.start;
  }
}

TEST(TimeBaseTest, TimesInOtherScalesAndRange) {
  ManualTimeBase clock;
  clock.base->SetTime(1001, 30000);  // one frame at 29.97 fps
  EXPECT_EQ(clock.base->GetTime(30000), 1001);
  EXPECT_EQ(clock.base->GetTime(1000), 33);
  EXPECT_EQ(clock.base->GetTime(0), 0);
  clock.base->SetStartTime(2000, 1000);
  EXPECT_EQ(clock.base->GetStartTime(1000), 2000);
  EXPECT_EQ(clock.base->GetStartTime(600), 1200);
  EXPECT_NEAR(clock.base->Seconds(), 2.0, 1e-9);  // moved into the new range
  clock.base->SetSeconds(20.0);
  EXPECT_NEAR(clock.base->Seconds(), 10.0, 1e-9);
  EXPECT_EQ(clock.base->GetStopTime(1000), 10000);
}

TEST(TimeBaseTest, StopsAtTheEndsAndCallsBackOnce) {
  ManualTimeBase clock;
  clock.base->SetSeconds(9.0);
  clock.base->SetRate(1.0);
  clock.Advance(0.5);
  clock.base->Update();
  EXPECT_TRUE(clock.ends.empty());
  clock.Advance(1.0);
  clock.base->Update();
  clock.base->Update();
  ASSERT_EQ(clock.ends, std::vector<bool>{true});
  EXPECT_EQ(clock.base->Rate(), 0.0);
  EXPECT_NEAR(clock.base->Seconds(), 10.0, 1e-9);
  clock.base->SetRate(-4.0);
  clock.Advance(3.0);
  clock.base->Update();
  EXPECT_EQ(clock.ends, (std::vector<bool>{true, false}));
  EXPECT_NEAR(clock.base->Seconds(), 0.0, 1e-9);
}

TEST(TimeBaseTest, LoopingWrapsAndCountsLaps) {
  ManualTimeBase clock(2.0);
  clock.base->SetLooping(true);
  clock.base->SetSeconds(1.5);
  clock.base->SetRate(1.0);
  clock.Advance(1.0);
  TimeBase::Position position = clock.base->PositionNow();
  EXPECT_EQ(position.lap, 1);
  EXPECT_NEAR(position.seconds, 0.5, 1e-9);
  clock.Advance(4.0);
  position = clock.base->PositionNow();
  EXPECT_EQ(position.lap, 3);
  EXPECT_NEAR(position.seconds, 0.5, 1e-9);
  clock.base->Update();
  EXPECT_TRUE(clock.ends.empty());  // a looping time base never ends
  clock.base->SetRate(-1.0);
  clock.Advance(1.0);
  position = clock.base->PositionNow();
  EXPECT_EQ(position.lap, 2);
  EXPECT_NEAR(position.seconds, 1.5, 1e-9);
}

TEST(TimeBaseTest, GenerationChangesOnJumpsAndTurnsOnly) {
  ManualTimeBase clock;
  uint64_t generation = clock.base->Generation();
  int notices = 0;
  const int id = clock.base->AddChangeObserver([&] { ++notices; });
  clock.base->SetRate(1.0);
  clock.base->SetRate(0.0);
  clock.base->SetRate(2.0);
  EXPECT_EQ(clock.base->Generation(), generation);  // pausing and resuming keep the read-ahead
  clock.base->SetRate(-1.0);
  EXPECT_NE(clock.base->Generation(), generation);
  generation = clock.base->Generation();
  clock.base->SetSeconds(3.0);
  EXPECT_NE(clock.base->Generation(), generation);
  EXPECT_EQ(notices, 5);
  clock.base->RemoveChangeObserver(id);
  clock.base->SetSeconds(1.0);
  EXPECT_EQ(notices, 5);
}

TEST(TimeBaseTest, SlaveFollowsItsMaster) {
  ManualTimeBase master;
  auto slave = std::make_shared<TimeBase>(1000);
  master.base->SetSeconds(2.0);
  slave->SetMasterTimeBase(master.base, 600, 600);  // the slave reads 0 at master time 1 s
  EXPECT_NEAR(slave->Seconds(), 1.0, 1e-9);
  master.base->SetRate(1.5);
  EXPECT_EQ(slave->Rate(), 1.5);
  master.Advance(2.0);
  EXPECT_NEAR(slave->Seconds(), 4.0, 1e-9);
  const uint64_t generation = slave->Generation();
  master.base->SetSeconds(0.0);  // a jump of the master is a jump of the slave
  EXPECT_NE(slave->Generation(), generation);
  slave->SetSeconds(3.0);  // moves the offset, not the master
  EXPECT_NEAR(master.base->Seconds(), 0.0, 1e-9);
  EXPECT_NEAR(slave->Seconds(), 3.0, 1e-9);
  slave->SetMasterTimeBase(nullptr, 0, 0);
  EXPECT_EQ(slave->MasterTimeBase(), nullptr);
  EXPECT_EQ(slave->Rate(), 0.0);
}

}  // namespace
