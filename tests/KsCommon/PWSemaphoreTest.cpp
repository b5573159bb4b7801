#include "PWSemaphore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "PWCriticalRegion.h"

namespace {

using namespace std::chrono_literals;

// How long a call must stay blocked for the test to call it blocked.
constexpr auto kBlockedFor = 100ms;
// How long a released call may take to return.
constexpr auto kReleasedWithin = 10s;

bool StillRunning(const std::future<void>& done) { return done.wait_for(kBlockedFor) == std::future_status::timeout; }
bool Finishes(const std::future<void>& done) { return done.wait_for(kReleasedWithin) == std::future_status::ready; }

TEST(PWSemaphore, CreateHandsOutTheOnlyCount) {
  const PWSemaphore::Ref semaphore = PWSemaphore::Create();
  ASSERT_TRUE(semaphore);
  EXPECT_EQ(semaphore->GetRetainCount(), 1);
  const PWCriticalRegion::Ref region = PWCriticalRegion::Create();
  ASSERT_TRUE(region);
  EXPECT_EQ(region->GetRetainCount(), 1);
}

TEST(PWSemaphore, WaitBlocksUntilSignalled) {
  const PWSemaphore::Ref semaphore = PWSemaphore::Create();
  auto done = std::async(std::launch::async, [&] { EXPECT_TRUE(semaphore->Wait()); });
  EXPECT_TRUE(StillRunning(done));
  EXPECT_TRUE(semaphore->Signal(1));
  EXPECT_TRUE(Finishes(done));
}

TEST(PWSemaphore, EachSignalLetsOneWaitThrough) {
  const PWSemaphore::Ref semaphore = PWSemaphore::Create();
  EXPECT_TRUE(semaphore->Signal(0));
  EXPECT_TRUE(semaphore->Signal(-5));
  EXPECT_TRUE(semaphore->Signal(3));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(semaphore->Wait());
  auto fourth = std::async(std::launch::async, [&] { semaphore->Wait(); });
  EXPECT_TRUE(StillRunning(fourth));
  semaphore->Signal(1);
  EXPECT_TRUE(Finishes(fourth));
}

TEST(PWSemaphore, CountStopsAtTheMaximum) {
  const PWSemaphore::Ref semaphore = PWSemaphore::Create();
  semaphore->Signal(2000);
  for (int i = 0; i < PWSemaphore::kMaxCount; ++i) semaphore->Wait();
  auto next = std::async(std::launch::async, [&] { semaphore->Wait(); });
  EXPECT_TRUE(StillRunning(next));
  semaphore->Signal(1);
  EXPECT_TRUE(Finishes(next));
}

TEST(PWSemaphore, ManyWaitersAreAllReleasedByOneLargeSignal) {
  const PWSemaphore::Ref semaphore = PWSemaphore::Create();
  constexpr int kWaiters = 6;
  std::atomic<int> passed{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < kWaiters; ++i) {
    waiters.emplace_back([&] {
      semaphore->Wait();
      ++passed;
    });
  }
  semaphore->Signal(kWaiters);
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(passed.load(), kWaiters);
}

TEST(PWCriticalRegion, SecondThreadWaitsForExit) {
  const PWCriticalRegion::Ref region = PWCriticalRegion::Create();
  EXPECT_EQ(region->Enter(), 0);
  auto second = std::async(std::launch::async, [&] {
    EXPECT_EQ(region->Enter(), 0);
    EXPECT_EQ(region->Exit(), 0);
  });
  EXPECT_TRUE(StillRunning(second));
  EXPECT_EQ(region->Exit(), 0);
  EXPECT_TRUE(Finishes(second));
}

TEST(PWCriticalRegion, OwnerMayEnterAgainAndOnlyTheOwnerMayExit) {
  const PWCriticalRegion::Ref region = PWCriticalRegion::Create();
  EXPECT_NE(region->Exit(), 0);  // not entered
  EXPECT_EQ(region->Enter(), 0);
  EXPECT_EQ(region->Enter(), 0);
  int exitFromOtherThread = 0;
  std::thread([&] { exitFromOtherThread = region->Exit(); }).join();
  EXPECT_NE(exitFromOtherThread, 0);

  EXPECT_EQ(region->Exit(), 0);
  auto other = std::async(std::launch::async, [&] {
    region->Enter();
    region->Exit();
  });
  EXPECT_TRUE(StillRunning(other));  // one entry is still held
  EXPECT_EQ(region->Exit(), 0);
  EXPECT_TRUE(Finishes(other));
}

TEST(PWCriticalRegion, GuardsASharedCounter) {
  const PWCriticalRegion::Ref region = PWCriticalRegion::Create();
  constexpr int kThreads = 8;
  constexpr int kRounds = 5000;
  long counter = 0;  // deliberately not atomic
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        region->Enter();
        const long seen = counter;
        std::this_thread::yield();
        counter = seen + 1;
        region->Exit();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, static_cast<long>(kThreads) * kRounds);
}

}  // namespace
