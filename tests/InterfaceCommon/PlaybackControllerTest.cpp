// The playback controller over a context's movie clock: its state without a
// movie, the transport commands on a real movie (ffmpeg fixture), the frame
// grid, volume and mute, following a new clock, and its bridge.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "General/CocoaBridge.h"
#include "General/HcClassMap.h"
#include "General/ObjectCollection.h"
#include "General/WeakRef.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcPlayerPlaybackController.h"
#include "KsTrace.h"
#include "PlaybackTestMovies.h"
#include "QuickTime/QTMovieArbiter.h"
#include "RegisterAllClasses.h"
#include "Source/SourceCollection.h"
#include "Time/HcMovieClock.h"
#include "Time/HcStaticFloatTween.h"
#include "Time/HcTweenCollection.h"
#include "Time/QTSystemClock.h"
#include "Utilities/HcProperty.h"
#include "Utilities/XMLStringEmitter.h"
#include "ViewTestSupport.h"
#include "platform/playback/Movie.h"
#include "platform/playback/TimeBase.h"
#include "platform/runtime/MessageSend.h"

namespace {

namespace rt = hc::runtime;
using Controller = HcPlayerPlaybackController;

KsRef<Controller> MakeController() {
  RegisterAllClasses();
  return MakeObject<Controller>(PWStringRef("HcPlayerPlaybackController"));
}

TEST(PlaybackController, ANewControllerWithoutAMovieAnswersNothingAndChangesNothing) {
  KsRef<Controller> controller = MakeController();
  ASSERT_TRUE(controller);
  EXPECT_FALSE(MakeObject<HcPlaybackController>(PWStringRef("HcPlaybackController")));
  EXPECT_EQ(1.0f, controller->GetVolume());
  EXPECT_FALSE(controller->GetMuted());
  EXPECT_FALSE(controller->GetIsScrubbing());
  EXPECT_FALSE(controller->GetTweensActive());
  EXPECT_FALSE(controller->GetContextHelper());
  // With a context that has no movie clock, as without a context.
  for (bool withContext : {false, true}) {
    SCOPED_TRACE(withContext);
    if (withContext) controller->SetContextHelper(MakeObject<HcContextHelper>(PWStringRef("HcContextHelper")));
    EXPECT_EQ(0.0f, controller->GetRate());
    EXPECT_FALSE(controller->GetIsPlaying());
    EXPECT_FALSE(controller->GetIsLooping());
    EXPECT_EQ(0.0, controller->GetPosition());
    EXPECT_EQ(0.0, controller->GetDuration());
    EXPECT_FALSE(controller->GetShowInOutPoints());
    EXPECT_EQ(0, controller->TogglePlay());
    EXPECT_EQ(0, controller->SetPosition(1.0));
    EXPECT_EQ(0, controller->StepForward());
    EXPECT_EQ(0, controller->PlayAroundCurrentPosition());
    EXPECT_EQ(0, controller->FastForward(true));
    EXPECT_EQ(0.0f, controller->GetRate());
  }
}

// The scene keeps its controllers among its named objects; the controller
// must not keep the scene in return.
TEST(PlaybackController, TheControllerAndItsSceneDoNotKeepEachOtherAlive) {
  KsRef<Controller> controller = MakeController();
  auto context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
  context->GetNamedControllerObjects()->Add(controller);
  controller->SetContextHelper(context);
  EXPECT_EQ(context, controller->GetContextHelper());
  WeakRef::Ref weakContext = WeakRef::GetWeakRef(context.Get());
  WeakRef::Ref weakController = WeakRef::GetWeakRef(controller.Get());
  context = nullptr;
  EXPECT_FALSE(weakContext->GetTarget());
  EXPECT_FALSE(controller->GetContextHelper());
  controller = nullptr;
  EXPECT_FALSE(weakController->GetTarget());
}

TEST(PlaybackController, VolumeIsClampedAndTheStepsMuteAndUnmute) {
  KsRef<Controller> controller = MakeController();
  controller->SetVolume(1.7f);
  EXPECT_EQ(1.0f, controller->GetVolume());
  controller->SetVolume(-0.3f);
  EXPECT_EQ(0.0f, controller->GetVolume());
  controller->SetVolume(0.05f);
  controller->DecreaseVolume();
  EXPECT_TRUE(controller->GetMuted());
  EXPECT_EQ(0.05f, controller->GetVolume());
  controller->IncreaseVolume();
  EXPECT_FALSE(controller->GetMuted());
  EXPECT_EQ(0.05f, controller->GetVolume());
  controller->IncreaseVolume();
  EXPECT_NEAR(0.10f, controller->GetVolume(), 1e-6);
  controller->ToggleMuted();
  EXPECT_TRUE(controller->GetMuted());

  EXPECT_EQ(255, HcPlaybackController::MovieVolumeValue(1.0f, false));
  EXPECT_EQ(-255, HcPlaybackController::MovieVolumeValue(1.0f, true));
  EXPECT_EQ(128, HcPlaybackController::MovieVolumeValue(0.5f, false));
  EXPECT_EQ(0, HcPlaybackController::MovieVolumeValue(0.0f, true));
}

TEST(PlaybackController, FrameStepsLandOnFrameStarts) {
  struct Case {
    int64_t units, frame;
    int direction;
    int64_t expected;
  };
  const Case cases[] = {
      {1000, 40, 1, 1040},  // on a boundary: exactly one frame
      {1000, 40, -1, 960},
      {1010, 40, 1, 1040},  // inside a frame: to the next start
      {1010, 40, -1, 960},  // or to the previous frame's start
      {0, 40, -1, 0},       // never before the start
      {39, 40, 1, 40},
      {1001, 1001, 1, 2002},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, HcPlaybackController::FrameStepTarget(c.units, c.frame, c.direction))
        << c.units << " " << c.frame << " " << c.direction;
  }
}

TEST(PlaybackController, ItsPropertiesAreRunTimeStateOnly) {
  KsRef<Controller> controller = MakeController();
  const PWStringRef text = WriteObjectToHcMLString(KsRef<KsObject>(controller), PWStringRef("Controller"));
  ASSERT_TRUE(text);
  EXPECT_EQ(std::string::npos, text.Str().find("<Volume")) << text.Str();
  EXPECT_EQ(std::string::npos, text.Str().find("<ContextHelper")) << text.Str();
  // The presentation hands the scene over through "ContextHelper".
  KsRef<HcProperty> contextHelper = controller->GetClassObject()->FindProperty(PWStringRef("ContextHelper"));
  ASSERT_TRUE(contextHelper);
  auto context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
  EXPECT_EQ(0, contextHelper->SetValue(controller.Get(), KsRef<KsObject>(context)));
  EXPECT_EQ(context, controller->GetContextHelper());
  EXPECT_EQ(-2, contextHelper->SetValue(controller.Get(), KsRef<KsObject>(KsMakeRef<StubSource>())));
  EXPECT_EQ(context, controller->GetContextHelper());
  EXPECT_EQ(0, contextHelper->SetValue(controller.Get(), KsRef<KsObject>()));
  EXPECT_FALSE(controller->GetContextHelper());
  KsRef<HcProperty> showInOut = controller->GetClassObject()->FindProperty(PWStringRef("ShowInOutPoints"));
  ASSERT_TRUE(showInOut);
  EXPECT_FALSE(showInOut->GetCanSet());
  EXPECT_EQ(-102, showInOut->SetValue(controller.Get(), true));
}

// A context whose movie clock is the clock of an ffmpeg fixture, on a host
// clock the test moves.
class MovieControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is missing";
    arbiter = OpenClock(playtest::MoviePath(playtest::Fixture::Fps25), &clock);
    ASSERT_TRUE(clock);
    context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
    context->SetMovieClock(clock);
    controller = MakeController();
    controller->SetContextHelper(context);
  }

  KsRef<QTMovieArbiter> OpenClock(const std::string& path, KsRef<HcMovieClock>* movieClock) {
    auto opened = KsMakeRef<QTMovieArbiter>();
    EXPECT_EQ(0, opened->OpenMovieAtPath(PWStringRef(path), true)) << path;
    if (opened->GetMovie()) {
      auto hostTime = host;
      opened->GetMovie()->GetTimeBase()->SetHostClock([hostTime] { return hostTime->load(); });
    }
    *movieClock = opened->GetClock().DynamicCast<HcMovieClock>();
    return opened;
  }
  hc::playback::Movie* Movie() const { return arbiter->GetMovie(); }

  std::shared_ptr<std::atomic<uint64_t>> host = std::make_shared<std::atomic<uint64_t>>(1'000'000'000);
  KsRef<QTMovieArbiter> arbiter;
  KsRef<HcMovieClock> clock;
  KsRef<HcContextHelper> context;
  KsRef<Controller> controller;
};

TEST_F(MovieControllerTest, PlayingAroundThePositionLoopsFiveSecondsAroundIt) {
  EXPECT_NEAR(2.0, controller->GetDuration(), 1e-3);
  ASSERT_EQ(0, controller->SetPosition(1.0));
  EXPECT_NEAR(1.0, controller->GetPosition(), 1e-3);
  ASSERT_EQ(0, controller->PlayAroundCurrentPosition());
  EXPECT_NEAR(0.0, controller->GetSelectionStart(), 1e-3);
  EXPECT_NEAR(2.0, controller->GetSelectionEnd(), 1e-3);
  EXPECT_NEAR(0.0, controller->GetPosition(), 1e-3);
  EXPECT_TRUE(controller->GetSelectionOnly());
  EXPECT_TRUE(controller->GetIsLooping());
  EXPECT_EQ(1.0f, controller->GetRate());
  EXPECT_TRUE(controller->GetIsPlaying());
  EXPECT_EQ(controller->GetSelectionStart(), controller->GetInPoint());
  EXPECT_EQ(controller->GetSelectionEnd(), controller->GetOutPoint());

  // Stopping a selection's playback leaves selection-only mode.
  ASSERT_EQ(0, controller->TogglePlay());
  EXPECT_EQ(0.0f, controller->GetRate());
  EXPECT_FALSE(controller->GetSelectionOnly());
}

TEST_F(MovieControllerTest, ScrubbingHoldsTheMovieAndGivesItsRateBack) {
  controller->SetRate(2.0f);
  controller->SetIsScrubbing(true);
  EXPECT_EQ(0.0f, controller->GetRate());
  EXPECT_TRUE(controller->GetIsScrubbing());
  controller->SetIsScrubbing(false);
  EXPECT_EQ(2.0f, controller->GetRate());
  controller->Rewind(false);
  EXPECT_EQ(-2.0f, controller->GetRate());
  controller->FastForward(true);
  EXPECT_EQ(0.5f, controller->GetRate());
}

TEST_F(MovieControllerTest, FrameStepsMoveOneFrameOfTheMovie) {
  ASSERT_EQ(0, controller->SetPosition(1.0));  // frame 25's start
  ASSERT_EQ(0, controller->StepForward());
  EXPECT_NEAR(1.04, controller->GetPosition(), 1e-3);
  ASSERT_EQ(0, controller->StepBackward());
  EXPECT_NEAR(1.0, controller->GetPosition(), 1e-3);
  ASSERT_EQ(0, controller->SetPosition(1.01));  // inside frame 25
  ASSERT_EQ(0, controller->StepBackward());
  EXPECT_NEAR(0.96, controller->GetPosition(), 1e-3);
  ASSERT_EQ(0, controller->GotoEnd());
  EXPECT_NEAR(2.0, controller->GetPosition(), 1e-3);
  ASSERT_EQ(0, controller->GotoBeginning());
  EXPECT_NEAR(0.0, controller->GetPosition(), 1e-3);
}

TEST_F(MovieControllerTest, VolumeAndMuteReachTheMovie) {
  controller->SetVolume(0.5f);
  EXPECT_NEAR(128.0f / 255.0f, Movie()->Volume(), 1e-6);
  EXPECT_FALSE(Movie()->IsMuted());
  controller->SetMuted(true);
  EXPECT_TRUE(Movie()->IsMuted());
  EXPECT_NEAR(128.0f / 255.0f, Movie()->Volume(), 1e-6);
}

TEST_F(MovieControllerTest, AMovieHeldElsewhereDoesNotStallAVolumeChange) {
  std::string trace;
  KsTrace::LoadSettings(PWStringRef(), true);
  KsTrace::SetOutputSink([&trace](const std::string& line) { trace += line + "\n"; });
  std::atomic<bool> holding{false};
  std::atomic<bool> release{false};
  std::thread holder([&] {
    KsRef<KsObject> token = arbiter->WaitForMovieToken(-1);
    holding = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  while (!holding) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, controller->SetVolume(0.25f));
  const auto waited = std::chrono::steady_clock::now() - start;
  release = true;
  holder.join();
  KsTrace::SetOutputSink({});
  KsTrace::ResetSettings();
  EXPECT_LT(waited, std::chrono::seconds(3));
  EXPECT_EQ(0.25f, controller->GetVolume());
  EXPECT_NE(std::string::npos, trace.find("Failed to get movie token to set volume")) << trace;
}

TEST_F(MovieControllerTest, PositionNoticesFollowTheCurrentClockOnly) {
  auto recorder = KsMakeRef<NoticeRecorder>();
  Observe(KsRef<KsObject>(controller), recorder,
          {HcPlaybackController::kPositionId, HcPlaybackController::kDurationId, HcPlaybackController::kRateId});
  clock->SetTimeNow(0.5);
  EXPECT_GE(recorder->Count(HcPlaybackController::kPositionId), 1);

  // Another movie becomes the context's clock: the controller follows it
  // (announcing its properties anew) and no longer hears the old one.
  KsRef<HcMovieClock> second;
  KsRef<QTMovieArbiter> secondArbiter = OpenClock(playtest::MoviePath(playtest::Fixture::Fps24), &second);
  ASSERT_TRUE(second);
  recorder->ids.clear();
  context->SetMovieClock(second);
  EXPECT_EQ(1, recorder->Count(HcPlaybackController::kDurationId));
  recorder->ids.clear();
  clock->SetTimeNow(1.5);
  clock->SetRate(1.0);
  EXPECT_EQ(0, recorder->Count(HcPlaybackController::kPositionId));
  EXPECT_EQ(0, recorder->Count(HcPlaybackController::kRateId));
  second->SetTimeNow(0.25);
  EXPECT_GE(recorder->Count(HcPlaybackController::kPositionId), 1);
  EXPECT_NEAR(0.25, controller->GetPosition(), 1e-3);

  // Without a context the controller follows no clock at all.
  controller->SetContextHelper(nullptr);
  recorder->ids.clear();
  second->SetTimeNow(0.5);
  EXPECT_EQ(0, recorder->Count(HcPlaybackController::kPositionId));
}

TEST_F(MovieControllerTest, RateNoticesTellWhenPlaybackStartsAndStops) {
  auto recorder = KsMakeRef<NoticeRecorder>();
  Observe(KsRef<KsObject>(controller), recorder, {HcPlaybackController::kRateId, HcPlaybackController::kIsPlayingId});
  // The movie reports each change on a later tick of its clock.
  for (float rate : {1.0f, 2.0f, 0.0f}) {
    controller->SetRate(rate);
    for (int i = 0; i < 4000 && Movie()->Rate() != rate; ++i) {
      clock->Idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    clock->Idle();
    ASSERT_EQ(rate, Movie()->Rate());
  }
  EXPECT_GE(recorder->Count(HcPlaybackController::kRateId), 2);
  EXPECT_EQ(2, recorder->Count(HcPlaybackController::kIsPlayingId));
}

TEST_F(MovieControllerTest, TweensActiveSwitchesTheSourcesTweensAndTheSharedIdleTransition) {
  auto source = KsMakeRef<StubSource>();
  auto tween = KsMakeRef<HcStaticFloatTween>();
  auto tweens = KsMakeRef<HcTweenCollection>();
  tweens->Add(tween);
  source->SetTweens(tweens);
  context->SetSource(source);
  KsRef<QTSystemClock> shared = QTSystemClock::GetSharedClock();
  for (bool active : {true, false, true}) {
    ASSERT_EQ(0, controller->SetTweensActive(active));
    EXPECT_EQ(active, controller->GetTweensActive());
    EXPECT_EQ(active, tween->GetEnabled());
    EXPECT_EQ(active, shared->GetUseIdleTransition());
  }
  shared->SetUseIdleTransition(false);
}

TEST_F(MovieControllerTest, TheBridgeRunsTheTransportCommands) {
  rt::Id proxy = GetCocoaObject(controller.Get()).Get();
  rt::Value result;
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "fastForward:", {rt::Value::Bool(true)}, &result));
  EXPECT_EQ(rt::Value::Int(0), result);
  EXPECT_EQ(0.5f, controller->GetRate());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "rewind:", {rt::Value::Bool(false)}, &result));
  EXPECT_EQ(-2.0f, controller->GetRate());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "togglePlay", {}, &result));
  EXPECT_EQ(0.0f, controller->GetRate());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "toggleIsLooping", {}, &result));
  EXPECT_TRUE(controller->GetIsLooping());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "toggleMuted", {}, &result));
  EXPECT_TRUE(controller->GetMuted());
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "gotoEnd", {}, &result));
  EXPECT_NEAR(2.0, controller->GetPosition(), 1e-3);
  for (const char* selector : {"playAroundCurrentPosition", "playSelection", "gotoBeginning", "gotoSelectionStart",
                               "gotoSelectionEnd", "stepForward", "stepBackward", "increaseVolume",
                               "decreaseVolume"}) {
    EXPECT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, selector, {}, &result)) << selector;
    EXPECT_EQ(rt::Value::Int(0), result) << selector;
  }
  // The controller's properties reach the bridge by their own accessors.
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(proxy, "volume", {}, &result));
  EXPECT_EQ(rt::Value::Float(controller->GetVolume()), result);
}

}  // namespace
