// A whole session on manual clocks, driven the way the shell drives it: each
// refresh runs the scene's idle step under the renderer's draw lock, and only
// when it answers 0 does the view helper draw and post-flight. Events enter
// through the view helper; the automatic pan is the one a presentation
// installs when it builds the scene.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "EquirectangularGrid.h"
#include "General/HcClassMap.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcPlayerPlaybackController.h"
#include "InterfaceCommon/HcPresentation.h"
#include "InterfaceCommon/SourceDescription.h"
#include "InterfaceCommon/SourceDescriptionCollection.h"
#include "PlaybackTestMovies.h"
#include "Projection/EquirectangularProj.h"
#include "QuickTime/QTMovieArbiter.h"
#include "RegisterAllClasses.h"
#include "Responder/KeyboardResponder.h"
#include "SceneTestSupport.h"
#include "Source/QTMovieSource.h"
#include "Source/SourceCollection.h"
#include "Time/HcTransition.h"
#include "Time/HcTweenCollection.h"
#include "Time/HcManualClock.h"
#include "Time/HcMovieClock.h"
#include "Time/HcMovieTween.h"
#include "Time/HcAbsVelocityTween.h"
#include "Responder/MouseResponder.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "platform/playback/Movie.h"
#include "platform/playback/TimeBase.h"

namespace {

// The display-link step of the shell, and the session around it.
struct Session {
  KsRef<HcContextHelper> context = MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
  // The scene's real-time and idle clocks, moved by the test.
  KsRef<HcManualClock> realtime = KsMakeRef<HcManualClock>();
  KsRef<HcManualClock> idle = KsMakeRef<HcManualClock>();
  OffscreenScene scene;
  TestImage lastPicture;
  int draws = 0;

  bool Make(const TestImage& picture) {
    context->UseClocks(realtime, idle);
    if (!scene.Make(160, 120, picture, context)) return false;
    UseManualClocks();
    return true;
  }
  // The main view's responders run on the scene's manual clocks too.
  void UseManualClocks() {
    KsRef<HcView> main = context->GetMainView();
    main->GetMouseResponder()->SetRealtimeClock(realtime);
    main->GetKeyboardResponder()->SetClock(realtime);
  }
  void At(double t) {
    realtime->SetTimeNow(t);
    idle->SetTimeNow(t);
  }
  // One refresh: the idle step, then a frame only when it asks for one.
  eAppErr Refresh() {
    eAppErr idled;
    {
      RendererDrawLockScope lock(context->GetRenderer());
      idled = context->IdleClocks();
    }
    if (idled != 0) return idled;
    eAppErr drawn = 0;
    lastPicture = scene.Draw(&drawn);
    EXPECT_FALSE(AppErrFailed(drawn));
    scene.helper->PostFlight(scene.helper->GetSourceCollection());
    ++draws;
    return idled;
  }
  float Pan() { return scene.Main()->GetPanAngle(); }
};

// Whether a frame shows more than the black background.
bool ShowsSomething(const TestImage& picture) {
  return !picture.Empty() && ShareDifferent(picture, TestImage::Blank(picture.width, picture.height, 3), 10) > 0.5;
}

// How far the pan moved from `from` to `to`, the short way round.
float PanMoved(float from, float to) { return std::remainder(to - from, 360.0f); }

KsRef<HcPropertyBindingBase> WeakBinding(const KsRef<KsObject>& target, const char* property) {
  auto binding = KsMakeRef<HcWeakPropertyBinding>();
  binding->SetTargetObject(target);
  binding->SetPropertyName(property);
  return binding;
}

// The scene built by a presentation that uses idle panning: its one source
// the scene's picture, its viewset "Wide", and as its idle tween (the first
// of its view tweens) a tween that pans the main view at `speed` degrees a
// second on the real-time clock. The idle clock waits `timeout` seconds.
KsRef<HcAbsVelocityTween> BuildWithAutoPan(Session& session, float speed, double timeout) {
  HcContextHelper& context = *session.context;
  auto idleTween = KsMakeRef<HcAbsVelocityTween>();
  idleTween->SetModulus(360.0f);
  idleTween->SetVelocity(speed);
  idleTween->SetEnabled(false);
  idleTween->SetClock(session.realtime);
  auto viewTweens = KsMakeRef<HcTweenCollection>();
  viewTweens->Add(idleTween);

  auto presentation = MakeObject<HcPresentation>(PWStringRef("HcPresentation"));
  auto description = KsMakeRef<SourceDescription>();
  description->SetLiveSource(session.scene.source);
  presentation->GetSourceList()->Add(description);
  presentation->SetHcContext(session.context);
  presentation->SetViewsetName(PWStringRef("Wide"));
  presentation->SetViewTweens(viewTweens);
  presentation->SetUseIdle(true);
  session.idle->SetIdleTimeout(timeout);
  EXPECT_EQ(0, presentation->SetInitContextFromHcML(true));
  EXPECT_TRUE(session.idle->GetUseIdleTransition());
  // The transition runs where the scene's real-time clock is: on the manual
  // one here (it is put on that clock only when it starts).
  KsRef<HcTransition> autoPan = session.idle->GetIdleTransition();
  EXPECT_TRUE(autoPan);
  if (autoPan) {
    autoPan->SetClock(session.realtime);
    session.realtime->DetachTween(autoPan);
  }
  // The scene's views are new: they get the picture and the manual clocks,
  // and the idle tween turns the new main view.
  EXPECT_TRUE(session.scene.Show("Wide")) << session.scene.failure;
  session.UseManualClocks();
  idleTween->SetBinding(WeakBinding(KsRef<KsObject>(context.GetMainView()), "PanAngle"));
  return idleTween;
}

TEST(ScriptedSession, DragTurnsReleaseRestsIdlePansAndAKeyStopsIt) {
  RegisterAllClasses();
  Session session;
  ASSERT_TRUE(session.Make(MakeEquirectangularGrid(512, 256))) << session.scene.failure;
  KsRef<HcAbsVelocityTween> idleTween = BuildWithAutoPan(session, 20.0f, 10.0);
  HcViewHelper& helper = *session.scene.helper;

  session.At(0.0);
  ASSERT_EQ(0, session.Refresh());  // the first frame of the new viewset
  const TestImage start = session.lastPicture;
  ASSERT_FALSE(start.Empty());
  const float startPan = session.Pan();

  // Drag to the right: the view turns while the mouse is held.
  uint32_t cursor = 0;
  session.At(0.5);
  ASSERT_TRUE(helper.MouseDown({80, 60}, &cursor));
  EXPECT_EQ(0, session.Refresh());
  ASSERT_TRUE(helper.MouseMoved({130, 60}, &cursor));
  for (double t : {1.0, 1.5, 2.0}) {
    session.At(t);
    EXPECT_EQ(0, session.Refresh()) << t;
  }
  const float draggedPan = session.Pan();
  EXPECT_GT(std::fabs(PanMoved(startPan, draggedPan)), 5.0f);
  EXPECT_GT(ShareDifferent(start, session.lastPicture, 20), 0.3);

  // Release: the turning stops, and once it has settled the refreshes answer
  // 2 and nothing is drawn.
  session.At(2.0);
  EXPECT_EQ(0, helper.MouseUp({130, 60}, &cursor));
  session.Refresh();
  session.At(2.1);
  session.Refresh();
  const int drawsAtRest = session.draws;
  const float restPan = session.Pan();
  for (double t : {2.5, 5.0, 9.0, 11.9}) {
    session.At(t);
    EXPECT_EQ(2, session.Refresh()) << t;
  }
  EXPECT_EQ(drawsAtRest, session.draws);
  EXPECT_EQ(restPan, session.Pan());
  EXPECT_FALSE(idleTween->GetEnabled());

  // Ten seconds after the last activity (the release) the automatic pan
  // starts, converges and then turns the view on its own.
  for (double t = 12.0; t <= 14.0; t += 0.25) {
    session.At(t);
    session.Refresh();
  }
  EXPECT_TRUE(idleTween->GetEnabled());
  const float panningFrom = session.Pan();
  const TestImage panning = session.lastPicture;
  session.At(15.0);
  EXPECT_EQ(0, session.Refresh());
  EXPECT_NEAR(20.0f, PanMoved(panningFrom, session.Pan()), 0.5f);
  EXPECT_GT(ShareDifferent(panning, session.lastPicture, 20), 0.3);

  // A key press is user activity: the automatic pan stops.
  session.At(15.5);
  helper.KeyDown('x', 0, 0);
  helper.KeyUp('x', 0, 0);
  EXPECT_FALSE(idleTween->GetEnabled());
  session.Refresh();
  const float stoppedPan = session.Pan();
  for (double t : {16.0, 18.0, 20.0}) {
    session.At(t);
    session.Refresh();
  }
  EXPECT_EQ(stoppedPan, session.Pan());
}

// The look markers of a movie tween steer the main view as the movie plays.
TEST(ScriptedSession, AMovieTweenFollowsItsMarkersAsTheMoviePlays) {
  RegisterAllClasses();
  if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is missing";
  auto host = std::make_shared<std::atomic<uint64_t>>(1'000'000'000);
  auto arbiter = KsMakeRef<QTMovieArbiter>();
  ASSERT_EQ(0, arbiter->OpenMovieAtPath(PWStringRef(playtest::MoviePath(playtest::Fixture::Fps25)), true));
  arbiter->GetMovie()->GetTimeBase()->SetHostClock([host] { return host->load(); });

  Session session;
  ASSERT_TRUE(session.Make(MakeEquirectangularGrid(256, 128))) << session.scene.failure;
  auto movieSource = KsMakeRef<QTMovieSource>();
  movieSource->SetProjection(KsMakeRef<EquirectangularProj>());
  ASSERT_EQ(0, movieSource->SetMovieArb(arbiter));
  auto sources = KsMakeRef<SourceCollection>();
  sources->Add(movieSource);
  ASSERT_EQ(0, session.context->SetSources(sources));
  session.scene.source = nullptr;
  session.scene.Main()->SetSource(movieSource);
  KsRef<HcMovieClock> movieClock = session.context->GetMovieClock().DynamicCast<HcMovieClock>();
  ASSERT_TRUE(movieClock);

  // In at 0 s looking at pan 10, out at 2 s looking at pan 90, in thousandths.
  auto markers = KsMakeRef<HcMovieTween>();
  auto scale = KsMakeRef<HcTimeScale>();
  scale->SetTimeScale(1000);
  markers->SetTimeScale(scale);
  auto marker = [](int64_t time, float pan, bool in) {
    auto direction = KsMakeRef<LookDirectionValue>();
    direction->SetPanAngle(pan);
    direction->SetTiltAngle(0.0f);
    direction->SetVFOV(60.0f);
    auto made = KsMakeRef<HcMovieTweenLookMarker>();
    made->SetTimeValue(time);
    if (in) {
      made->SetRightLookDirection(direction);
    } else {
      made->SetLeftLookDirection(direction);
    }
    return made;
  };
  markers->GetMarkers()->Add(marker(0, 10.0f, true));
  markers->GetMarkers()->Add(marker(2000, 90.0f, false));
  markers->SetBindToView(KsRef<KsObject>(session.scene.Main()));
  ASSERT_EQ(0, markers->SetClock(movieClock));

  auto controller = MakeObject<HcPlayerPlaybackController>(PWStringRef("HcPlayerPlaybackController"));
  controller->SetContextHelper(session.context);
  session.At(0.0);
  session.Refresh();

  ASSERT_EQ(0, controller->TogglePlay());
  // Playing begins once the movie is ready, on a later refresh.
  for (int i = 0; i < 4000 && arbiter->GetMovie()->Rate() != 1.0; ++i) {
    session.Refresh();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(1.0, arbiter->GetMovie()->Rate());
  double played = controller->GetPosition();
  std::vector<TestImage> pictures;
  for (double step : {0.5, 0.5}) {
    *host += static_cast<uint64_t>(step * 1e9);
    played += step;
    EXPECT_EQ(0, session.Refresh());
    EXPECT_NEAR(played, controller->GetPosition(), 0.02);
    EXPECT_NEAR(10.0f + 40.0f * static_cast<float>(controller->GetPosition()), session.Pan(), 1.0f);
    // The movie's frame of this time arrives from its decoder a little
    // later; its arrival asks for another frame.
    for (int i = 0; i < 2000 && !ShowsSomething(session.lastPicture); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      session.Refresh();
    }
    pictures.push_back(session.lastPicture);
  }
  // The view turned with the markers between the two frames.
  ASSERT_FALSE(pictures[0].Empty());
  ASSERT_FALSE(pictures[1].Empty());
  EXPECT_GT(ShareDifferent(pictures[0], pictures[1], 10), 0.2);
  controller->TogglePlay();
}

}  // namespace
