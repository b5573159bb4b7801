#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/gl/DisplayLink.h"

namespace hc::gl {
namespace {

using namespace std::chrono_literals;

constexpr uint64_t kPeriod60 = 16666667;  // ns of one refresh at 60 Hz, rounded

struct Refresh {
  DisplayTimeStamp now;
  DisplayTimeStamp output;
  std::thread::id thread;
};

// Collects what a link hands its callback.
class Recorder {
 public:
  DisplayLink::OutputCallback Callback(std::chrono::microseconds work = 0us) {
    return [this, work](const DisplayTimeStamp& now, const DisplayTimeStamp& output) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        refreshes_.push_back({now, output, std::this_thread::get_id()});
      }
      if (work > 0us) std::this_thread::sleep_for(work);
    };
  }
  std::vector<Refresh> Refreshes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return refreshes_;
  }
  size_t Count() const { return Refreshes().size(); }

 private:
  mutable std::mutex mutex_;
  std::vector<Refresh> refreshes_;
};

TEST(DisplayLinkManual, DeliversExactlyTheRefreshesTheClockPasses) {
  DisplayLink link(DisplayLink::Timing::Manual);
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(5000));
  Recorder recorder;
  ASSERT_EQ(GlError::None, link.Start(recorder.Callback()));
  const uint64_t origin = link.ManualClockTime();

  ASSERT_EQ(GlError::None, link.AdvanceManualClock(3 * kPeriod60));
  EXPECT_EQ(3u, recorder.Count());
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(kPeriod60 / 2));
  EXPECT_EQ(3u, recorder.Count()) << "half a refresh delivers nothing";
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(kPeriod60 / 2 + 1));
  const auto refreshes = recorder.Refreshes();
  ASSERT_EQ(4u, refreshes.size());

  for (size_t i = 0; i < refreshes.size(); ++i) {
    const int64_t index = static_cast<int64_t>(i) + 1;
    const DisplayTimeStamp& now = refreshes[i].now;
    EXPECT_EQ(DisplayTimeStamp::kCurrentVersion, now.version);
    EXPECT_EQ(60000, now.videoTimeScale);
    EXPECT_EQ(1000, now.videoRefreshPeriod);
    EXPECT_EQ(index * 1000, now.videoTime);
    EXPECT_EQ(origin + static_cast<uint64_t>(std::llround(index * 1e9 / 60.0)), now.hostTime);
    EXPECT_EQ(1.0, now.rateScalar);
    EXPECT_EQ(DisplayTimeStamp::kVideoTimeValid | DisplayTimeStamp::kHostTimeValid |
                  DisplayTimeStamp::kRateScalarValid | DisplayTimeStamp::kVideoRefreshPeriodValid,
              now.flags);
    EXPECT_EQ(now.videoTime + 1000, refreshes[i].output.videoTime) << "output is the next refresh";
    EXPECT_NE(std::this_thread::get_id(), refreshes[i].thread) << "runs on the link's thread";
  }
  EXPECT_EQ(GlError::None, link.Stop());
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(10 * kPeriod60));
  EXPECT_EQ(4u, recorder.Count()) << "a stopped link delivers nothing";
}

TEST(DisplayLinkManual, AnswersTheNextOutputTime) {
  DisplayLink link(DisplayLink::Timing::Manual);
  DisplayTimeStamp next;
  EXPECT_EQ(GlError::NotRunning, link.GetNextOutputTime(&next));
  ASSERT_EQ(GlError::None, link.SetRefreshRate(50.0));
  Recorder recorder;
  ASSERT_EQ(GlError::None, link.Start(recorder.Callback()));
  ASSERT_EQ(GlError::None, link.GetNextOutputTime(&next));
  EXPECT_EQ(20000000u, next.hostTime);
  EXPECT_EQ(50000, next.videoTimeScale);
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(30000000));
  ASSERT_EQ(GlError::None, link.GetNextOutputTime(&next));
  EXPECT_EQ(40000000u, next.hostTime);
  EXPECT_EQ(2000, next.videoTime);
  EXPECT_EQ(GlError::BadArgument, link.GetNextOutputTime(nullptr));
}

TEST(DisplayLinkManual, RestartsCountingFromTheNewStart) {
  DisplayLink link(DisplayLink::Timing::Manual);
  Recorder recorder;
  ASSERT_EQ(GlError::None, link.Start(recorder.Callback()));
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(2 * kPeriod60));
  ASSERT_EQ(GlError::None, link.Stop());
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(kPeriod60 / 3));
  const uint64_t restart = link.ManualClockTime();
  ASSERT_EQ(GlError::None, link.Start(recorder.Callback()));
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(kPeriod60));
  const auto refreshes = recorder.Refreshes();
  ASSERT_EQ(3u, refreshes.size());
  EXPECT_EQ(1000, refreshes[2].now.videoTime);
  EXPECT_EQ(restart + kPeriod60, refreshes[2].now.hostTime);
}

TEST(DisplayLink, RefusesMisuse) {
  DisplayLink link(DisplayLink::Timing::Manual);
  Recorder recorder;
  for (double rate : {0.0, -60.0, 1000.5, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(GlError::BadArgument, link.SetRefreshRate(rate)) << rate;
  }
  EXPECT_EQ(60.0, link.RefreshRate());
  EXPECT_EQ(GlError::BadArgument, link.Start(nullptr));
  EXPECT_EQ(GlError::None, link.Stop()) << "stopping a stopped link does nothing";
  ASSERT_EQ(GlError::None, link.Start(recorder.Callback()));
  EXPECT_EQ(GlError::AlreadyRunning, link.Start(recorder.Callback()));
  EXPECT_EQ(GlError::AlreadyRunning, link.SetRefreshRate(120.0));
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(1));
  EXPECT_EQ(GlError::BadArgument, link.AdvanceManualClock(std::numeric_limits<uint64_t>::max()))
      << "the test clock would wrap";

  DisplayLink realTime;
  EXPECT_EQ(GlError::WrongMode, realTime.AdvanceManualClock(1));
}

TEST(DisplayLinkManual, RefusesCallsThatWouldWaitForItself) {
  DisplayLink link(DisplayLink::Timing::Manual);
  GlError advance = GlError::None, restart = GlError::None, stop = GlError::DriverError;
  int calls = 0;
  ASSERT_EQ(GlError::None, link.Start([&](const DisplayTimeStamp&, const DisplayTimeStamp&) {
    ++calls;
    advance = link.AdvanceManualClock(kPeriod60);
    restart = link.Start([](const DisplayTimeStamp&, const DisplayTimeStamp&) {});
    stop = link.Stop();
  }));
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(kPeriod60));
  EXPECT_EQ(GlError::CalledFromLinkThread, advance);
  EXPECT_EQ(GlError::CalledFromLinkThread, restart);
  EXPECT_EQ(GlError::None, stop) << "a callback may stop its own link";
  EXPECT_FALSE(link.IsRunning());
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(5 * kPeriod60));
  EXPECT_EQ(1, calls);
}

// Not a timing test: the margins only catch a link that does not tick, ticks
// far too often or hands out times that go backwards.
TEST(DisplayLinkRealTime, TicksAboutOncePerRefresh) {
  DisplayLink link;
  Recorder recorder;
  ASSERT_EQ(GlError::None, link.Start(recorder.Callback()));
  EXPECT_TRUE(link.IsRunning());
  std::this_thread::sleep_for(1s);
  ASSERT_EQ(GlError::None, link.Stop());
  EXPECT_FALSE(link.IsRunning());
  const auto refreshes = recorder.Refreshes();
  EXPECT_GE(refreshes.size(), 20u);
  EXPECT_LE(refreshes.size(), 62u);
  for (size_t i = 1; i < refreshes.size(); ++i) {
    const DisplayTimeStamp& before = refreshes[i - 1].now;
    const DisplayTimeStamp& now = refreshes[i].now;
    EXPECT_GT(now.hostTime, before.hostTime);
    EXPECT_GE(now.hostTime - before.hostTime, kPeriod60 - 1);
    EXPECT_EQ(0, now.videoTime % 1000);
    EXPECT_GT(now.videoTime, before.videoTime);
  }
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(refreshes.size(), recorder.Count()) << "a callback ran after Stop returned";
}

// A callback that takes two and a half refreshes misses the next two: the
// link skips them instead of catching up.
TEST(DisplayLinkRealTime, SkipsRefreshesASlowCallbackMissed) {
  DisplayLink link;
  ASSERT_EQ(GlError::None, link.SetRefreshRate(100.0));
  Recorder recorder;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(GlError::None, link.Start(recorder.Callback(25ms)));
  std::this_thread::sleep_for(300ms);
  ASSERT_EQ(GlError::None, link.Stop());
  const double elapsedMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const auto refreshes = recorder.Refreshes();
  ASSERT_GE(refreshes.size(), 2u);
  EXPECT_LE(static_cast<double>(refreshes.size()), elapsedMs / 25.0 + 1.0);
  for (size_t i = 1; i < refreshes.size(); ++i) {
    EXPECT_GE(refreshes[i].now.videoTime - refreshes[i - 1].now.videoTime, 3000)
        << "refresh " << i << " was queued behind a slow callback";
  }
}

TEST(DisplayLinkRealTime, StopWaitsForARunningCallback) {
  DisplayLink link;
  std::atomic<bool> inside{false}, finished{false};
  ASSERT_EQ(GlError::None, link.Start([&](const DisplayTimeStamp&, const DisplayTimeStamp&) {
    inside = true;
    std::this_thread::sleep_for(100ms);
    finished = true;
  }));
  while (!inside) std::this_thread::sleep_for(1ms);
  ASSERT_EQ(GlError::None, link.Stop());
  EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace hc::gl
