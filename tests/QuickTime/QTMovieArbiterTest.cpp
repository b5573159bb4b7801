#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "PlaybackTestMovies.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "RegisterAllClasses.h"
#include "Source/SourceErr.h"
#include "platform/movfile/MovFile.h"
#include "platform/playback/Movie.h"
#include "tests/platform/movfile/MovTestTools.h"

namespace {

using Clock = std::chrono::steady_clock;

long MillisecondsSince(Clock::time_point start) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class MovieArbiter : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
  KsRef<QTMovieArbiter> arbiter = KsMakeRef<QTMovieArbiter>();
};

TEST_F(MovieArbiter, TheOwningThreadGetsItsLiveTokenAgain) {
  for (int32_t timeout : {0, 50, -1}) {
    KsRef<QTMovieToken> first = arbiter->WaitForToken(timeout);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, arbiter->WaitForToken(timeout)) << timeout;
    EXPECT_EQ(arbiter, first->GetArbiter());
  }
}

TEST_F(MovieArbiter, AnotherThreadWaitsAsItsTimeOutSays) {
  KsRef<QTMovieToken> held = arbiter->WaitForToken(0);
  ASSERT_TRUE(held);

  std::thread([&] {
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(arbiter->WaitForToken(0));
    EXPECT_LT(MillisecondsSince(start), 100);
    const Clock::time_point waited = Clock::now();
    EXPECT_FALSE(arbiter->WaitForToken(250));
    EXPECT_GE(MillisecondsSince(waited), 245);
  }).join();

  // Timed and unlimited waits both get a new token, owned by the waiter, once
  // the holder lets go.
  held = nullptr;
  for (int32_t timeout : {5000, -1}) {
    held = arbiter->WaitForToken(0);
    ASSERT_TRUE(held);
    std::atomic<bool> got{false};
    KsRef<QTMovieToken> taken;
    std::thread waiter([&] {
      taken = arbiter->WaitForToken(timeout);
      got = true;
      EXPECT_TRUE(taken);
      EXPECT_EQ(taken, arbiter->WaitForToken(0)) << "the waiter now owns the token";
      taken = nullptr;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(got) << timeout;
    held = nullptr;
    waiter.join();
    EXPECT_TRUE(got) << timeout;
  }
}

TEST_F(MovieArbiter, EachDyingTokenWakesOneWaiter) {
  KsRef<QTMovieToken> held = arbiter->WaitForToken(0);
  std::atomic<int> woken{0};
  std::atomic<bool> release[2] = {false, false};
  auto wait = [&](int index) {
    KsRef<QTMovieToken> token = arbiter->WaitForToken(-1);
    EXPECT_TRUE(token);
    ++woken;
    while (!release[index]) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  std::thread a(wait, 0);
  std::thread b(wait, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(0, woken);
  held = nullptr;
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(1, woken) << "one waiter at a time holds the token";
  release[0] = release[1] = true;
  a.join();
  b.join();
  EXPECT_EQ(2, woken);
}

TEST_F(MovieArbiter, TokensChangeHandsWithoutEverOverlapping) {
  std::atomic<int> holders{0};
  std::atomic<int> overlaps{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        KsRef<QTMovieToken> token = arbiter->WaitForToken(t % 2 == 0 ? -1 : 20);
        if (!token) continue;
        if (++holders != 1) ++overlaps;
        std::this_thread::yield();
        --holders;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(0, overlaps);
}

TEST_F(MovieArbiter, SettersRefuseASecondValue) {
  auto movie = hc::playback::Movie::CreateEmpty();
  EXPECT_EQ(0, arbiter->SetQuickTimeMovie(movie.get()));
  EXPECT_EQ(AppErr::kAlreadyAssigned, arbiter->SetQuickTimeMovie(nullptr));
  EXPECT_EQ(movie.get(), arbiter->GetMovie());
  EXPECT_FALSE(arbiter->GetOwnMovie()) << "a movie set from outside stays its owner's";

  KsRef<QTMovieToken> token = arbiter->WaitForToken(0);
  EXPECT_EQ(movie.get(), token->GetMovie());
  EXPECT_EQ(movie.get(), token->GetMovieController());
  EXPECT_EQ(AppErr::kAlreadyAssigned, token->SetArbiter(KsMakeRef<QTMovieArbiter>()));
  EXPECT_EQ(arbiter, token->GetArbiter());
  token = nullptr;
  arbiter = nullptr;  // does not dispose the movie it does not own
  EXPECT_EQ(0, movie->Duration());

  KsRef<QTMovieToken> orphan = KsMakeRef<QTMovieToken>();
  EXPECT_EQ(nullptr, orphan->GetMovie());
  EXPECT_EQ(nullptr, orphan->GetMovieController());
  EXPECT_EQ(AppErr::kNotReady, orphan->UpdateMovieInStorage());
  EXPECT_EQ(AppErr::kNotReady, orphan->AttachMovieToCurrentThread());
}

TEST_F(MovieArbiter, TokensThatAttachTieTheMovieToTheirThread) {
  ASSERT_EQ(0, arbiter->CreateMovieInMemory(true));
  ASSERT_EQ(0, arbiter->SetAttachesToThread(true));
  KsRef<QTMovieToken> token = arbiter->WaitForToken(0);
  ASSERT_TRUE(token->GetAttachesToThread());
  EXPECT_TRUE(token->GetMovie());
  EXPECT_EQ(QTMovieArbiter::AttachState::kCallingThread, arbiter->GetAttachState());
  EXPECT_TRUE(token->GetMovie()) << "attached to this thread already counts as attached";
  EXPECT_EQ(0, token->AttachMovieToCurrentThread());

  std::thread([&] {
    EXPECT_EQ(nullptr, token->GetMovie()) << "the movie is tied to another thread";
    EXPECT_EQ(AppErr::kMovieOtherThread, token->AttachMovieToCurrentThread());
    EXPECT_EQ(AppErr::kMovieOtherThread, token->DetachMovieFromCurrentThread());
  }).join();

  EXPECT_EQ(0, token->DetachMovieFromCurrentThread());
  EXPECT_EQ(AppErr::kMovieAttach, token->DetachMovieFromCurrentThread());
  EXPECT_TRUE(token->GetMovie());
  token = nullptr;
  EXPECT_EQ(QTMovieArbiter::AttachState::kNone, arbiter->GetAttachState()) << "a dying token detaches";
}

TEST_F(MovieArbiter, OpensMoviesAndReportsWhatItCannotOpen) {
  if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is missing";
  ASSERT_EQ(0, arbiter->OpenMovieAtPath(playtest::MoviePath(playtest::Fixture::Fps25).c_str(), true));
  EXPECT_TRUE(arbiter->GetOwnMovie());
  ASSERT_TRUE(arbiter->GetMovie());
  EXPECT_NEAR(2.0, arbiter->GetMovie()->DurationSeconds(), 0.05);

  auto other = KsMakeRef<QTMovieArbiter>();
  EXPECT_LT(other->OpenMovieAtPath(playtest::ScratchPath("missing.mov").c_str(), true), 0);
  EXPECT_EQ(nullptr, other->GetMovie());
  EXPECT_EQ(AppErr::kBadArgument, other->OpenMovieAtPath(PWStringRef(), true));
}

TEST_F(MovieArbiter, CreatesAMovieFileAndStoresItsHeader) {
  EXPECT_EQ(AppErr::kBadArgument, arbiter->CreateMovieAtPath(PWStringRef(), true));
  EXPECT_EQ(nullptr, arbiter->GetMovie());
  EXPECT_EQ(AppErr::kNotReady, arbiter->UpdateMovieInStorage());

  const std::string path = playtest::ScratchPath("created.mov");
  movtest::WriteBytes(path, movtest::Bytes("an older file that is replaced"));
  ASSERT_EQ(0, arbiter->CreateMovieAtPath(path.c_str(), true));
  ASSERT_TRUE(arbiter->GetMovie());
  EXPECT_TRUE(arbiter->GetOwnMovie());
  ASSERT_EQ(hc::playback::PlaybackErr::Ok, arbiter->GetMovie()->SetTimeScale(1000));
  KsRef<QTMovieToken> token = arbiter->WaitForToken(-1);
  ASSERT_EQ(0, token->UpdateMovieInStorage());

  hc::movfile::MovFile file;
  ASSERT_EQ(hc::movfile::MovErr::Ok, file.OpenForRead(path));
  EXPECT_EQ(1000u, file.TimeScale());
  EXPECT_EQ(0u, file.TrackCount());
  if (movtest::HaveTool("ffprobe")) {
    EXPECT_EQ(0, movtest::RunTool({"ffprobe", "-v", "error", path}).status);
  }
}

}  // namespace
