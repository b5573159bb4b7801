#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "RegisterAllClasses.h"
#include "Time/HcLinearFloatTween.h"
#include "Time/HcMovieClock.h"
#include "TimeTestSupport.h"
#include "platform/playback/Movie.h"
#include "platform/playback/TimeBase.h"

namespace {

using namespace std::chrono_literals;

// Counts the notices of one property.
class NoticeCounter : public KsObject {
 public:
  void ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>&, const KsRef<KsObject>&) override {
    ++notices;
  }
  int notices = 0;
};

// A movie clock over the test movie, whose time base runs on a host clock
// the test moves by hand.
struct MovieRig {
  std::shared_ptr<std::atomic<uint64_t>> host = std::make_shared<std::atomic<uint64_t>>(1'000'000'000);
  KsRef<TestMovieArbiter> arbiter;
  KsRef<HcMovieClock> clock = KsMakeRef<HcMovieClock>();
  hc::playback::Movie* movie = nullptr;

  MovieRig() {
    RegisterAllClasses();
    std::unique_ptr<hc::playback::Movie> opened = OpenTestMovie();
    if (!opened) return;
    movie = opened.get();
    auto hostTime = host;
    movie->GetTimeBase()->SetHostClock([hostTime] { return hostTime->load(); });
    arbiter = KsMakeRef<TestMovieArbiter>(std::move(opened));
    clock->SetMovieArb(arbiter);
  }
  void Advance(double seconds) { *host += static_cast<uint64_t>(std::llround(seconds * 1e9)); }
  void Rewind(double seconds) { *host -= static_cast<uint64_t>(std::llround(seconds * 1e9)); }
  double MovieSeconds() const { return static_cast<double>(movie->Time()) / movie->TimeScale(); }
  // Ticks until the movie plays at the rate (the start completes on a later tick).
  bool PlaysAt(double rate) {
    for (int i = 0; i < 4000; ++i) {
      clock->Idle();
      if (movie->Rate() == rate) return true;
      std::this_thread::sleep_for(1ms);
    }
    return false;
  }
};

TEST(HcMovieClock, WithoutAMovieItKeepsItsLastTimeAndRefusesChanges) {
  auto clock = KsMakeRef<HcMovieClock>();
  EXPECT_EQ(-1.0, clock->GetTimeNow());
  EXPECT_EQ(2, clock->Idle());
  EXPECT_EQ(-903, clock->SetRate(0.0));
  EXPECT_EQ(-903, clock->SetTimeNow(1.0));
  EXPECT_EQ(-903, clock->SetSelectionStart(1.0));
  EXPECT_EQ(-903, clock->SetSelectionEnd(1.0));
  EXPECT_EQ(-903, clock->SetIsLooping(true));
  EXPECT_EQ(-903, clock->SetSelectionOnly(true));
  EXPECT_EQ(-903, clock->MakeRelativeTo({}, 0));
  EXPECT_EQ(0.0, clock->GetDuration());
  EXPECT_EQ(0.0f, clock->GetRate());
  EXPECT_FALSE(clock->GetIsLooping());
  EXPECT_EQ(-2, clock->SetMovieArb(KsMakeRef<TweenTarget>()));
  EXPECT_FALSE(clock->GetMovieArb());
}

TEST(HcMovieClock, FollowsTheMovieAtRatesOneTwoAndMinusOne) {
  MovieRig rig;
  if (!rig.movie) GTEST_SKIP() << "ffmpeg is needed to make the test movie";
  EXPECT_NEAR(2.0, rig.clock->GetDuration(), 1e-3);
  // A tween on the movie clock writes the movie's time.
  auto target = KsMakeRef<TweenTarget>();
  auto tween = KsMakeRef<HcLinearFloatTween>();
  tween->SetBinding(BindingTo(target, "Value"));
  tween->SetStartTime(0.0);
  tween->SetEndTime(2.0);
  tween->SetEndValue(2.0f);
  rig.clock->AddTween(tween);

  EXPECT_EQ(0, rig.clock->Idle());
  EXPECT_EQ(0.0, rig.clock->GetTimeNow());

  struct Leg {
    double rate, seconds;
  };
  for (const Leg& leg : {Leg{1.0, 0.4}, Leg{2.0, 0.25}, Leg{-1.0, 0.3}}) {
    SCOPED_TRACE(leg.rate);
    EXPECT_EQ(0, rig.clock->SetRate(leg.rate));
    ASSERT_TRUE(rig.PlaysAt(leg.rate));
    EXPECT_FLOAT_EQ(static_cast<float>(leg.rate), rig.clock->GetRate());
    rig.clock->Idle();
    const double before = rig.clock->GetTimeNow();
    rig.Advance(leg.seconds);
    EXPECT_EQ(0, rig.clock->Idle());
    EXPECT_NEAR(before + leg.rate * leg.seconds, rig.clock->GetTimeNow(), 2e-3);
    EXPECT_DOUBLE_EQ(rig.MovieSeconds(), rig.clock->GetTimeNow());
    EXPECT_NEAR(rig.clock->GetTimeNow(), target->GetValue(), 1e-3);
  }
  EXPECT_NEAR(0.6, rig.clock->GetTimeNow(), 5e-3);

  EXPECT_EQ(0, rig.clock->SetRate(0.0));
  EXPECT_EQ(0.0, rig.movie->Rate());
  EXPECT_EQ(0.0f, rig.clock->GetRate());
  rig.Advance(1.0);
  rig.clock->Idle();
  EXPECT_NEAR(0.6, rig.clock->GetTimeNow(), 5e-3);
}

TEST(HcMovieClock, AStartPendingPlaysAtTheRateLastAsked) {
  MovieRig rig;
  if (!rig.movie) GTEST_SKIP() << "ffmpeg is needed to make the test movie";
  EXPECT_EQ(0, rig.clock->SetRate(2.0));
  EXPECT_EQ(0, rig.clock->SetRate(3.0));
  ASSERT_TRUE(rig.PlaysAt(3.0));
  EXPECT_EQ(-2, rig.clock->SetRate(std::nan("")));
}

TEST(HcMovieClock, SeeksLoopsAndSelects) {
  MovieRig rig;
  if (!rig.movie) GTEST_SKIP() << "ffmpeg is needed to make the test movie";
  auto counter = KsMakeRef<NoticeCounter>();
  rig.clock->AddObserverForId(counter, HcMovieClock::kTimeNowId, 0);
  EXPECT_EQ(0, rig.clock->SetTimeNow(1.5));
  EXPECT_DOUBLE_EQ(1.5, rig.clock->GetTimeNow());
  EXPECT_NEAR(1.5, rig.MovieSeconds(), 1e-9);
  const int afterSeek = counter->notices;
  EXPECT_GE(afterSeek, 1);
  rig.clock->Idle();
  rig.clock->Idle();
  EXPECT_EQ(afterSeek, counter->notices);  // the same time is not announced again
  EXPECT_EQ(-2, rig.clock->SetTimeNow(std::nan("")));

  EXPECT_EQ(0, rig.clock->SetIsLooping(true));
  EXPECT_TRUE(rig.clock->GetIsLooping());
  rig.clock->SetTimeNow(1.9);
  rig.clock->SetRate(1.0);
  ASSERT_TRUE(rig.PlaysAt(1.0));
  rig.Advance(0.3);
  rig.clock->Idle();
  EXPECT_NEAR(0.2, rig.clock->GetTimeNow(), 0.05);
  rig.clock->SetRate(0.0);

  EXPECT_EQ(0, rig.clock->SetSelectionEnd(1.5));
  EXPECT_EQ(0, rig.clock->SetSelectionStart(0.5));
  EXPECT_NEAR(0.5, rig.clock->GetSelectionStart(), 1e-3);
  EXPECT_NEAR(1.5, rig.clock->GetSelectionEnd(), 1e-3);
  EXPECT_EQ(0, rig.clock->SetSelectionStart(1.8));
  EXPECT_NEAR(1.8, rig.clock->GetSelectionStart(), 1e-3);
  EXPECT_NEAR(1.8, rig.clock->GetSelectionEnd(), 1e-3);
  rig.clock->SetSelectionStart(0.5);
  EXPECT_EQ(0, rig.clock->SetSelectionEnd(0.2));
  EXPECT_NEAR(0.5, rig.clock->GetSelectionEnd(), 1e-3);
  EXPECT_EQ(0, rig.clock->SetSelectionOnly(true));
  EXPECT_TRUE(rig.clock->GetSelectionOnly());
}

TEST(HcMovieClock, RunsItsTweensOnThePreviousTimeWhileAnotherThreadHasTheMovie) {
  MovieRig rig;
  if (!rig.movie) GTEST_SKIP() << "ffmpeg is needed to make the test movie";
  auto target = KsMakeRef<TweenTarget>();
  auto tween = KsMakeRef<HcLinearFloatTween>();
  tween->SetBinding(BindingTo(target, "Value"));
  tween->SetStartTime(0.0);
  tween->SetEndTime(2.0);
  tween->SetEndValue(2.0f);
  rig.clock->AddTween(tween);
  rig.clock->SetTimeNow(0.5);

  std::atomic<bool> holding{false};
  std::atomic<bool> release{false};
  std::thread holder([&] {
    KsRef<KsObject> token = rig.arbiter->WaitForMovieToken(-1);
    rig.movie->SetTime(rig.movie->TimeScale());  // 1 s, seen only once the token is back
    holding = true;
    while (!release) std::this_thread::sleep_for(1ms);
  });
  while (!holding) std::this_thread::sleep_for(1ms);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(0, rig.clock->Idle());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);  // it did not wait
  EXPECT_EQ(0.5, rig.clock->GetTimeNow());
  EXPECT_FLOAT_EQ(0.5f, target->GetValue());
  release = true;
  holder.join();
  rig.clock->Idle();
  EXPECT_EQ(1.0, rig.clock->GetTimeNow());
  EXPECT_FLOAT_EQ(1.0f, target->GetValue());
}

TEST(HcMovieClock, HoldsItsArbiterOnlyWeakly) {
  MovieRig rig;
  if (!rig.movie) GTEST_SKIP() << "ffmpeg is needed to make the test movie";
  rig.clock->Idle();
  EXPECT_EQ(rig.arbiter, rig.clock->GetMovieArb());
  rig.arbiter = nullptr;  // the movie goes with it
  rig.movie = nullptr;
  EXPECT_FALSE(rig.clock->GetMovieArb());
  EXPECT_EQ(0.0f, rig.clock->GetRate());
  EXPECT_EQ(-903, rig.clock->SetTimeNow(0.0));
  EXPECT_EQ(2, rig.clock->Idle());
}

TEST(HcMovieClock, MakesOneMovieFollowAnother) {
  MovieRig leader;
  MovieRig follower;
  if (!leader.movie || !follower.movie) GTEST_SKIP() << "ffmpeg is needed to make the test movie";
  EXPECT_EQ(0, follower.clock->MakeRelativeTo(leader.clock, 0));
  leader.clock->SetTimeNow(1.25);
  follower.clock->Idle();
  EXPECT_NEAR(1.25, follower.clock->GetTimeNow(), 1e-3);
  EXPECT_EQ(-2, follower.clock->MakeRelativeTo(follower.clock, 0));
  EXPECT_EQ(0, follower.clock->MakeRelativeTo({}, 0));
  leader.clock->SetTimeNow(0.25);
  follower.clock->Idle();
  EXPECT_NEAR(1.25, follower.clock->GetTimeNow(), 1e-3);
}

}  // namespace
