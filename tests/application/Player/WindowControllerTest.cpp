#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "FakeScene.h"
#include "HcHalcyonView.h"
#include "HcMovie.h"
#include "HcProxyCalls.h"
#include "HcTimelineView.h"
#include "HcUserDefaults.h"
#include "HcViewerDocument.h"
#include "HcViewerWindowController.h"
#include "HcWindow.h"
#include "PlayerTestSupport.h"

namespace rt = hc::runtime;
using namespace PlayerTestSupport;
using Controller = HcViewerWindowController;

namespace {

class WindowControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearUserDefaults();
    TakeAlerts();
    document = std::make_unique<HcViewerDocument>();
    hc::playback::PlaybackErr error = hc::playback::PlaybackErr::Ok;
    document->setMovie(HcMovie::openFile(QString::fromStdString(SampleMovie()), &error));
    ASSERT_TRUE(document->movie()) << static_cast<int>(error);
  }

  void Open() {
    document->setPresentation(scene.presentation);
    document->makeWindowControllers();
    document->showWindows();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window()));
    Spin(std::chrono::milliseconds(50));
  }

  void TearDown() override {
    if (document) {
      document->close();
      document.reset();
    }
    ClearUserDefaults();
  }

  Controller& C() const { return *document->windowControllers().front(); }
  HcWindow* Window() const { return C().window(); }
  HcHalcyonView* View() const { return C().halcyonView(); }
  HcMovie& Movie() const { return *document->movie(); }
  std::vector<FakeCall> TakeCalls() const { return std::exchange(scene.Helper().calls, {}); }
  float PanOf() const { return HcProxyCalls::SendForFloat(scene.Context().mainView.Get(), "panAngle"); }

  FakeScene scene;
  std::unique_ptr<HcViewerDocument> document;
};

}  // namespace

TEST_F(WindowControllerTest, PresentationSizesThePictureAndStartsTheControls) {
  Open();
  EXPECT_EQ(View()->size(), QSize(480, 270));
  EXPECT_TRUE(View()->isRunning());
  ASSERT_NE(C().controlTimer(), nullptr);
  EXPECT_TRUE(C().controlTimer()->isActive());
  EXPECT_EQ(C().controlTimer()->interval(), 100);
  EXPECT_EQ(C().timeIndexTextField()->text(), QStringLiteral("00:00:00"));
  // Normal and double size come from the presentation's size.
  C().doubleSize();
  EXPECT_TRUE(WaitFor([&] { return View()->size() == QSize(960, 540); })) << View()->size().width();
  C().normalSize();
  EXPECT_TRUE(WaitFor([&] { return View()->size() == QSize(480, 270); }));
}

TEST_F(WindowControllerTest, AnEmptyDisplaySizeOpensAt640By480) {
  scene.Presentation().displaySize = {0, 0};
  Open();
  EXPECT_TRUE(WaitFor([&] { return View()->size() == QSize(640, 480); })) << View()->size().width();
}

TEST_F(WindowControllerTest, DragsReachTheViewHelperInViewCoordinatesWithYUp) {
  Open();
  const int height = View()->height();
  TakeCalls();
  QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
  QTest::mouseMove(View(), QPoint(60, 35));
  QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 35));
  const std::vector<FakeCall> calls = TakeCalls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front().selector, "mouseDownAt:outCursor:");
  EXPECT_FLOAT_EQ(calls.front().x, 40);
  EXPECT_FLOAT_EQ(calls.front().y, height - 30);
  EXPECT_EQ(calls[calls.size() - 2].selector, "mouseMovedTo:outCursor:");
  EXPECT_FLOAT_EQ(calls[calls.size() - 2].x, 60);
  EXPECT_EQ(calls.back().selector, "mouseUpAt:outCursor:");
  EXPECT_FLOAT_EQ(calls.back().y, height - 35);

  // Right and middle buttons are swallowed.
  QTest::mouseClick(View(), Qt::RightButton, Qt::NoModifier, QPoint(40, 30));
  QTest::mouseClick(View(), Qt::MiddleButton, Qt::NoModifier, QPoint(40, 30));
  EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(WindowControllerTest, CursorCodesFromTheSceneSetTheViewsCursor) {
  Open();
  scene.Helper().cursorCode = 5;
  QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
  EXPECT_EQ(View()->cursor().shape(), Qt::ClosedHandCursor);
  scene.Helper().cursorCode = 0;
  QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
  EXPECT_EQ(View()->cursor().shape(), Qt::ClosedHandCursor);
}

TEST_F(WindowControllerTest, KeysAndModifiersReachTheViewHelper) {
  Open();
  View()->setFocus();
  TakeCalls();
  QTest::keyClick(View(), Qt::Key_A);
  QTest::keyClick(View(), Qt::Key_Left);
  std::vector<FakeCall> calls = TakeCalls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].selector, "keyDownCode:withModifiers:scanCode:");
  EXPECT_EQ(calls[0].code, 'a');
  EXPECT_EQ(calls[1].selector, "keyUpCode:withModifiers:scanCode:");
  EXPECT_EQ(calls[2].code, 28u);

  // Shift alone: a key-down with code 0 and the shift bit, then its key-up.
  QTest::keyPress(View(), Qt::Key_Shift);
  QTest::keyRelease(View(), Qt::Key_Shift);
  calls = TakeCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].selector, "keyDownCode:withModifiers:scanCode:");
  EXPECT_EQ(calls[0].code, 0u);
  EXPECT_EQ(calls[0].modifiers, 0x0200u);
  EXPECT_EQ(calls[1].selector, "keyUpCode:withModifiers:scanCode:");
  EXPECT_EQ(calls[1].modifiers, 0x0200u);
  EXPECT_EQ(C().lastModifierMask(), 0u);

  // A key held down repeats as key-downs only.
  QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"), true);
  QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"), true);
  QCoreApplication::sendEvent(View(), &repeatUp);
  QCoreApplication::sendEvent(View(), &repeatDown);
  calls = TakeCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].selector, "keyDownCode:withModifiers:scanCode:");
}

TEST_F(WindowControllerTest, KeysTheSceneLeavesStepPlayAndSeekTheMovie) {
  Open();
  View()->setFocus();
  const double frame = 0.1;
  QTest::keyClick(View(), Qt::Key_Period);
  EXPECT_NEAR(Movie().currentTime(), frame, 0.02);
  QTest::keyClick(View(), Qt::Key_Period);
  QTest::keyClick(View(), Qt::Key_Comma);
  EXPECT_NEAR(Movie().currentTime(), frame, 0.02);
  QTest::keyClick(View(), Qt::Key_End);
  EXPECT_NEAR(Movie().currentTime(), Movie().duration(), 0.02);
  QTest::keyClick(View(), Qt::Key_Home);
  EXPECT_NEAR(Movie().currentTime(), 0.0, 1e-9);
  // Space toggles playing when it is let go.
  QTest::keyPress(View(), Qt::Key_Space);
  EXPECT_FALSE(Movie().isPlaying());
  QTest::keyRelease(View(), Qt::Key_Space);
  EXPECT_TRUE(Movie().isPlaying());
  QTest::keyClick(View(), Qt::Key_Space);
  EXPECT_FALSE(Movie().isPlaying());
  // Command with up and down arrows steps the volume and stays within 0 to 1.
  Movie().setVolume(0.95f);
  QTest::keyClick(View(), Qt::Key_Up, Qt::ControlModifier);
  EXPECT_FLOAT_EQ(Movie().volume(), 1.0f);
  QTest::keyClick(View(), Qt::Key_Down, Qt::ControlModifier);
  EXPECT_NEAR(Movie().volume(), 0.9f, 1e-5);
  EXPECT_EQ(C().volumeSlider()->value(), 90);

  // Keys the scene takes go no further.
  scene.Helper().handlesKeys = true;
  QTest::keyClick(View(), Qt::Key_Period);
  EXPECT_NEAR(Movie().currentTime(), 0.0, 1e-9);
}

TEST_F(WindowControllerTest, ViewsetsAreListedAndChosenWithTheKeys1To9) {
  Open();
  QList<QAction*> items = C().viewsetsMenu()->actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items[1]->text(), QStringLiteral("one"));
  EXPECT_EQ(items[3]->text(), QStringLiteral("three"));
  EXPECT_EQ(items[2]->shortcut(), QKeySequence(QStringLiteral("2")));
  // Becoming the main window again replaces the list.
  C().windowDidBecomeMain();
  Spin(std::chrono::milliseconds(20));
  items = C().viewsetsMenu()->actions();
  ASSERT_EQ(items.size(), 4);

  View()->setFocus();
  QTest::keyClick(View(), Qt::Key_3);
  EXPECT_EQ(scene.Context().viewsetName, "three");
  QTest::keyClick(View(), Qt::Key_2);
  EXPECT_EQ(scene.Context().viewsetName, "two");
  EXPECT_TRUE(C().validateMenuItem(items[2]));
  EXPECT_TRUE(items[2]->isChecked());
  C().validateMenuItem(items[3]);
  EXPECT_FALSE(items[3]->isChecked());
  // An unknown name leaves the viewset as it is.
  C().changeViewset(QStringLiteral("four"));
  EXPECT_EQ(scene.Context().viewsetName, "two");
}

TEST_F(WindowControllerTest, TransportVolumeLoopAndMenuStates) {
  Open();
  C().fastForward(Controller::TransportEvent::kMouseDown, false);
  EXPECT_FLOAT_EQ(Movie().rate(), 2.0f);
  C().fastForward(Controller::TransportEvent::kMouseUp, false);
  EXPECT_FLOAT_EQ(Movie().rate(), 0.0f);
  C().fastForward(Controller::TransportEvent::kMouseUp, false);
  EXPECT_FLOAT_EQ(Movie().rate(), 0.0f);
  C().rewind(Controller::TransportEvent::kMouseDown, true);
  EXPECT_FLOAT_EQ(Movie().rate(), -0.5f);
  C().rewind(Controller::TransportEvent::kOther, false);
  EXPECT_FLOAT_EQ(Movie().rate(), -0.5f);
  C().rewind(Controller::TransportEvent::kMouseUp, false);

  QAction* play = C().actionForCommand(QStringLiteral("playToggle:"));
  C().validateMenuItem(play);
  EXPECT_EQ(play->text(), QStringLiteral("Play"));
  play->trigger();
  EXPECT_FLOAT_EQ(Movie().rate(), 1.0f);
  EXPECT_TRUE(WaitFor([&] { return C().playButton()->isChecked(); }));
  C().validateMenuItem(play);
  EXPECT_EQ(play->text(), QStringLiteral("Pause"));
  play->trigger();
  EXPECT_TRUE(WaitFor([&] { return !C().playButton()->isChecked(); }));

  QAction* loop = C().actionForCommand(QStringLiteral("toggleLoop:"));
  loop->trigger();
  EXPECT_TRUE(Movie().isLooping());
  C().validateMenuItem(loop);
  EXPECT_TRUE(loop->isChecked());
  C().toggleLoop();
  EXPECT_FALSE(Movie().isLooping());
  C().togglePlaySelectionOnly();
  EXPECT_TRUE(Movie().playSelectionOnly());

  QAction* louder = C().actionForCommand(QStringLiteral("increaseVolume:"));
  QAction* quieter = C().actionForCommand(QStringLiteral("decreaseVolume:"));
  Movie().setVolume(0.98f);
  louder->trigger();
  EXPECT_FLOAT_EQ(Movie().volume(), 1.0f);
  EXPECT_FALSE(C().validateMenuItem(louder));
  EXPECT_TRUE(C().validateMenuItem(quieter));
  quieter->trigger();
  EXPECT_NEAR(Movie().volume(), 0.95f, 1e-5);
  EXPECT_EQ(C().volumeSlider()->value(), 95);
  C().toggleMute();
  EXPECT_TRUE(Movie().muted());
  EXPECT_FALSE(C().volumeSlider()->isEnabled());
  EXPECT_FALSE(C().validateMenuItem(quieter));
  C().toggleMute();
  EXPECT_TRUE(C().volumeSlider()->isEnabled());
  C().volumeSlider()->setValue(30);
  EXPECT_NEAR(Movie().volume(), 0.3f, 1e-5);
}

TEST_F(WindowControllerTest, ZoomFollowsTheZoomRateAndStopsNarrowingAt10Degrees) {
  Open();
  const rt::Id mainView = scene.Context().mainView.Get();
  HcProxyCalls::Call(mainView, "setVFOV:", {rt::Value::Float(40.0f)});
  HcUserDefaults::standardUserDefaults().setFloat(2.0f, QStringLiteral("zoomRate"));
  C().zoomIn();
  EXPECT_FLOAT_EQ(HcProxyCalls::SendForFloat(mainView, "VFOV"), 38.0f);
  C().zoomOut();
  C().zoomOut();
  EXPECT_FLOAT_EQ(HcProxyCalls::SendForFloat(mainView, "VFOV"), 42.0f);
  HcProxyCalls::Call(mainView, "setVFOV:", {rt::Value::Float(10.0f)});
  const int resets = scene.Context().resetIdleCount;
  C().zoomIn();
  EXPECT_FLOAT_EQ(HcProxyCalls::SendForFloat(mainView, "VFOV"), 10.0f);
  EXPECT_EQ(scene.Context().resetIdleCount, resets + 1);
}

TEST_F(WindowControllerTest, AutoRotateRemembersItsDelayAndDrivesTheClocksTimeOut) {
  Open();
  // Not set: auto-rotation is off and the clock's time-out follows.
  EXPECT_FALSE(C().isAutoRotate());
  EXPECT_DOUBLE_EQ(scene.Clock().idleTimeout, 0.0);
  C().toggleAutoRotate();
  EXPECT_TRUE(C().isAutoRotate());
  EXPECT_DOUBLE_EQ(scene.Clock().idleTimeout, 15.0);
  HcUserDefaults::standardUserDefaults().setFloat(4.0f, QStringLiteral("autoPanDelay"));
  EXPECT_DOUBLE_EQ(scene.Clock().idleTimeout, 4.0);
  C().toggleAutoRotate();
  EXPECT_FALSE(C().isAutoRotate());
  EXPECT_DOUBLE_EQ(scene.Clock().idleTimeout, 0.0);
  C().toggleAutoRotate();
  EXPECT_DOUBLE_EQ(scene.Clock().idleTimeout, 4.0);
}

TEST_F(WindowControllerTest, RegisteredDefaultsOfTheWindow) {
  Controller::registerDefaults();
  HcUserDefaults& defaults = HcUserDefaults::standardUserDefaults();
  EXPECT_FLOAT_EQ(defaults.floatForKey(QStringLiteral("panRate")), 5.0f);
  EXPECT_FLOAT_EQ(defaults.floatForKey(QStringLiteral("firstPersonMouseScale")), 0.1f);
  EXPECT_FALSE(defaults.boolForKey(QStringLiteral("firstPersonFullScreen")));
  EXPECT_FLOAT_EQ(defaults.floatForKey(QStringLiteral("zoomRate")), 1.0f);
  EXPECT_FLOAT_EQ(defaults.floatForKey(QStringLiteral("autoPanDelay")), 0.0f);
}

TEST_F(WindowControllerTest, FullScreenCoversTheScreenAndComesBack) {
  Open();
  const QRect before = Window()->geometry();
  C().toggleFullScreen();
  EXPECT_TRUE(C().isFullScreenMode());
  const QSize screen = Window()->screen()->geometry().size();
  EXPECT_TRUE(WaitFor([&] { return View()->size() == screen; })) << View()->width() << "x" << View()->height();
  C().validateMenuItem(C().actionForCommand(QStringLiteral("toggleFullScreen:")));
  EXPECT_TRUE(C().actionForCommand(QStringLiteral("toggleFullScreen:"))->isChecked());
  // Thin mode waits while full screen is on.
  C().startThinMode();
  EXPECT_FALSE(C().isThinMode());
  // Escape ends full screen.
  QTest::keyClick(Window(), Qt::Key_Escape);
  EXPECT_FALSE(C().isFullScreenMode());
  EXPECT_TRUE(WaitFor([&] { return Window()->geometry() == before; }));
  EXPECT_EQ(View()->size(), QSize(480, 270));
}

TEST_F(WindowControllerTest, FirstPersonLookInFullScreenTurnsTheMainView) {
  HcUserDefaults::standardUserDefaults().setBool(true, QStringLiteral("firstPersonFullScreen"));
  Open();
  C().startFullScreen();
  ASSERT_TRUE(WaitFor([&] { return View()->size() == Window()->screen()->geometry().size(); }));
  HcProxyCalls::Call(scene.Context().mainView.Get(), "setPanAngle:", {rt::Value::Float(100.0f)});
  const QPoint start(200, 200);
  const auto move = [&](QPoint local) {
    QMouseEvent event(QEvent::MouseMove, local, View()->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(View(), &event);
  };
  TakeCalls();
  const int resets = scene.Context().resetIdleCount;
  move(start);
  move(start + QPoint(10, 0));
  EXPECT_FLOAT_EQ(PanOf(), 102.5f);
  EXPECT_GT(scene.Context().resetIdleCount, resets);
  // Not passed on to the scene's responders.
  EXPECT_TRUE(TakeCalls().empty());
  C().stopFullScreen();
}

TEST_F(WindowControllerTest, ThinModePutsTheControlsAwayAndBringsThemBack) {
  scene.Presentation().hideControls = true;
  Open();
  EXPECT_TRUE(WaitFor([&] { return C().isThinMode(); }));
  EXPECT_FALSE(C().playButton()->isVisible());
  C().toggleThinMode();
  EXPECT_FALSE(C().isThinMode());
  EXPECT_TRUE(C().playButton()->isVisible());
}

TEST_F(WindowControllerTest, OnlyTheDocumentsOwnMovieMovesItsControls) {
  Open();
  hc::playback::PlaybackErr error = hc::playback::PlaybackErr::Ok;
  std::shared_ptr<HcMovie> other =
      HcMovie::openFile(QString::fromStdString(SampleMovie()), &error);
  ASSERT_TRUE(other);
  other->setRate(1.0f);
  Spin(std::chrono::milliseconds(50));
  EXPECT_FALSE(C().playButton()->isChecked());
  other->setRate(0.0f);
}

TEST_F(WindowControllerTest, ClosingWhilePlayingStopsEverythingAndLetsTheDocumentGo) {
  Open();
  Movie().setRate(1.0f);
  Spin(std::chrono::milliseconds(200));
  QPointer<HcViewerDocument> closing(document.get());
  QObject::connect(document.get(), &HcViewerDocument::documentDidClose, qApp,
                   [this](HcViewerDocument*) { document.reset(); }, Qt::QueuedConnection);
  Window()->close();
  EXPECT_TRUE(WaitFor([&] { return closing.isNull(); }));
}

TEST(FakeSceneCheck, MainViewIsAPanoramicView) {
  FakeScene scene;
  ASSERT_TRUE(scene.Context().mainView);
  EXPECT_TRUE(HcProxyCalls::IsKindOfProxyClass(scene.Context().mainView.Get(), "C_PanoView"));
  rt::Value v;
  EXPECT_EQ(HcProxyCalls::CallChecked(scene.Context().mainView.Get(), "VFOV", {}, &v), rt::RuntimeErr::Ok);
  EXPECT_FLOAT_EQ(v.FloatValue(), 60.0f) << static_cast<int>(v.GetType());
}

TEST_F(WindowControllerTest, DraggingThePlayHeadPausesAndSeeks) {
  Open();
  Movie().setRate(1.0f);
  HcTimelineView* timeline = C().timelineView();
  const int middle = timeline->width() / 2;
  QTest::mousePress(timeline, Qt::LeftButton, Qt::NoModifier, QPoint(middle, timeline->height() / 2));
  EXPECT_FALSE(Movie().isPlaying());
  const double pressed = Movie().currentTime();
  EXPECT_NEAR(pressed, timeline->timeAtX(middle), 0.05);
  QTest::mouseMove(timeline, QPoint(middle + 20, timeline->height() / 2));
  QTest::mouseRelease(timeline, Qt::LeftButton, Qt::NoModifier, QPoint(middle + 20, timeline->height() / 2));
  EXPECT_TRUE(Movie().isPlaying());
  EXPECT_GT(Movie().currentTime(), pressed);
  Movie().setRate(0.0f);
  EXPECT_EQ(C().timeIndexTextField()->text().left(5), QStringLiteral("00:00"));
}
