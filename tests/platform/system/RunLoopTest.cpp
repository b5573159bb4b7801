#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/system/RunLoop.h"

using hc::system::RunLoop;
using namespace std::chrono_literals;

TEST(RunLoop, RunsTasksPostedFromOtherThreadsInOrderOnItsOwnThread) {
  std::shared_ptr<RunLoop> loop = RunLoop::Current();
  EXPECT_EQ(loop, RunLoop::Current());
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::thread poster([&] {
    for (int i = 0; i < 3; ++i) {
      loop->Post([&, i] {
        order.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
    }
  });
  poster.join();
  EXPECT_TRUE(loop->RunUntil([&] { return order.size() == 3; }, 5s));
  EXPECT_EQ((std::vector<int>{0, 1, 2}), order);
  for (const auto& id : threads) EXPECT_EQ(std::this_thread::get_id(), id);
}

TEST(RunLoop, RunsNothingOnAThreadThatDoesNotOwnIt) {
  std::shared_ptr<RunLoop> loop = RunLoop::Current();
  bool ran = false;
  loop->Post([&] { ran = true; });
  size_t ranElsewhere = 99;
  std::thread([&] { ranElsewhere = loop->RunPending(); }).join();
  EXPECT_EQ(0u, ranElsewhere);
  EXPECT_FALSE(ran);
  EXPECT_EQ(1u, loop->RunPending());
  EXPECT_TRUE(ran);
}

TEST(RunLoop, ClosesWhenItsThreadEndsAndDropsWhatWasQueued) {
  std::shared_ptr<RunLoop> loop;
  auto held = std::make_shared<int>(0);
  std::thread([&] {
    loop = RunLoop::Current();
    loop->Post([held] {});
  }).join();
  EXPECT_EQ(1, held.use_count()) << "the queued task was released with the thread";
  EXPECT_FALSE(loop->Post([held] {}));
  EXPECT_EQ(1, held.use_count());
}

TEST(RunLoop, TimesOutAndWakesAndCallsTheWakeHandlerOnEveryPost) {
  std::shared_ptr<RunLoop> loop = RunLoop::Current();
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(loop->RunUntil([] { return false; }, 50ms));
  EXPECT_GE(std::chrono::steady_clock::now() - started, 50ms);

  std::atomic<bool> flag{false};
  std::thread setter([&] {
    std::this_thread::sleep_for(20ms);
    flag = true;
    loop->Wake();
  });
  EXPECT_TRUE(loop->RunUntil([&] { return flag.load(); }, 5s));
  setter.join();

  int wakes = 0;
  loop->SetWakeHandler([&] { ++wakes; });
  loop->Post([] {});
  loop->Post([] {});
  loop->SetWakeHandler(nullptr);
  EXPECT_EQ(2, wakes);
  EXPECT_EQ(2u, loop->RunOnce(0ms));
}
