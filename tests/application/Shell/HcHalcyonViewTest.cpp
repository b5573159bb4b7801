#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <thread>

#include "FakeScene.h"
#include "HcHalcyonView.h"
#include "ShellTestSupport.h"

namespace {

class PlayerView : public ::testing::Test {
 protected:
  void SetUp() override {
    scene = FakeScene::Make(&log);
    view = std::make_unique<HcHalcyonView>();
    view->setContextHelperSource([this] { return scene.context; });
    view->resize(320, 240);
    view->show();
    ASSERT_TRUE(WaitUntil([&] { return view->isVisible(); }));
  }
  void TearDown() override { view.reset(); }

  QColor ShownCentre() {
    const QImage shown = GrabNativeWindow(view->surfaceWindowId());
    if (shown.isNull()) return {};
    return shown.pixelColor(shown.width() / 2, shown.height() / 2);
  }

  FakeSceneLog log;
  FakeScene scene;
  std::unique_ptr<HcHalcyonView> view;
};

TEST_F(PlayerView, DrawsOnItsOwnThreadWithItsContextCurrentAndShowsIt) {
  view->startTimer();
  ASSERT_TRUE(view->isRunning());
  ASSERT_TRUE(WaitUntil([&] { return log.draws >= 5 && log.postflights >= 5; }));
  EXPECT_EQ(0, log.drawsOnMainThread);
  EXPECT_EQ(0, log.drawsWithoutContext);
  EXPECT_EQ(0, log.drawLockMismatch) << "idling runs inside the renderer's draw lock";
  EXPECT_EQ(0, log.drawLockHeld);
  EXPECT_GT(log.stampsSeen, 0) << "the renderer hears of the next refresh";
  EXPECT_GE(log.frames, 1) << "the helper got the view's frame";
  EXPECT_FLOAT_EQ(320.0f, log.frameWidth);
  ASSERT_TRUE(WaitUntil([&] { return ShownCentre() == QColor(0x20, 0x80, 0xc0); }));

  // The picture changes as the scene does.
  log.colour = 0xffc03010;
  ASSERT_TRUE(WaitUntil([&] { return ShownCentre() == QColor(0xc0, 0x30, 0x10); }));

  // A second start makes no second link; stopping twice is harmless.
  view->startTimer();
  view->stopTimer();
  view->stopTimer();
  EXPECT_FALSE(view->isRunning());
  const int drawn = log.draws;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(drawn, log.draws) << "no frame after the stop";
}

TEST_F(PlayerView, IdleSceneIsNeitherDrawnNorPostflightedButRedrawsWhenExposedOrResized) {
  log.idleAnswer = 2;
  view->startTimer();
  // The first refresh draws what there is once; then nothing until asked.
  ASSERT_TRUE(WaitUntil([&] { return log.idles >= 20; }));
  const int drawn = log.draws;
  EXPECT_LE(drawn, 2);
  ASSERT_TRUE(WaitUntil([&] { return log.idles >= 40; }));
  EXPECT_EQ(drawn, log.draws);
  EXPECT_EQ(0, log.postflights);

  view->resize(400, 300);
  ASSERT_TRUE(WaitUntil([&] { return log.frameWidth == 400.0f && log.draws > drawn; }));
  EXPECT_EQ(0, log.postflights) << "a redraw is not a new frame";

  // A failing idle is like nothing to do.
  log.idleAnswer = -1;
  const int before = log.draws;
  const int idled = log.idles;
  ASSERT_TRUE(WaitUntil([&] { return log.idles >= idled + 10; }));
  EXPECT_EQ(before, log.draws);
  EXPECT_EQ(0, log.postflights);
}

TEST_F(PlayerView, RefreshesWhileTheDisplayIsLockedAreSkippedNotQueued) {
  view->startTimer();
  ASSERT_TRUE(WaitUntil([&] { return log.draws >= 2; }));
  view->lockDisplay();
  const int drawn = log.draws;
  const uint64_t skippedBefore = view->framesSkipped();
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(drawn, log.draws);
  EXPECT_GT(view->framesSkipped(), skippedBefore);
  view->unlockDisplay();
  ASSERT_TRUE(WaitUntil([&] { return log.draws > drawn; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_LE(log.draws - drawn, 6) << "the missed refreshes are not made up";
}

TEST_F(PlayerView, RestartRebindsTheHelperAndShutDownClearsTheSceneAfterTheLinkStopped) {
  view->startTimer();
  ASSERT_TRUE(WaitUntil([&] { return log.draws >= 2; }));
  view->stopTimer();
  view->startTimer();
  ASSERT_TRUE(WaitUntil([&] { return log.draws >= 4; }));
  EXPECT_EQ(0, log.clearContexts);
  view->shutDown();
  EXPECT_FALSE(view->isRunning());
  EXPECT_EQ(1, log.clearContexts);
  EXPECT_EQ(0, log.clearedWithoutContext) << "the scene's OpenGL objects go with the view's context current";
  const int drawn = log.draws;
  view->startTimer();
  EXPECT_FALSE(view->isRunning()) << "a view shut down stays stopped";
  EXPECT_EQ(drawn, log.draws);
  view.reset();
  EXPECT_EQ(1, log.clearContexts);
}

TEST_F(PlayerView, ClosingWhileDrawingIsSafe) {
  for (int i = 0; i < 5; ++i) {
    auto another = std::make_unique<HcHalcyonView>();
    another->setContextHelperSource([this] { return scene.context; });
    another->resize(200, 150);
    another->show();
    another->startTimer();
    WaitUntil([&] { return another->framesDrawn() >= 1; }, std::chrono::seconds(5));
    another.reset();
  }
  SUCCEED();
}

TEST(PlayerViewCursors, StandardCodesAndTheCustomTable) {
  EXPECT_EQ(Qt::PointingHandCursor, HcHalcyonView::convertToCursor(2)->shape());
  EXPECT_EQ(Qt::PointingHandCursor, HcHalcyonView::convertToCursor(3)->shape());
  EXPECT_EQ(Qt::ClosedHandCursor, HcHalcyonView::convertToCursor(5)->shape());
  EXPECT_EQ(Qt::CrossCursor, HcHalcyonView::convertToCursor(7)->shape());
  EXPECT_FALSE(HcHalcyonView::convertToCursor(999).has_value()) << "a code the table lacks";
}

}  // namespace
