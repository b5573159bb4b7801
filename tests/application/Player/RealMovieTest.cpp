// The player on real movies: the document reads the presentation through
// the movie serializer, builds the scene and the window draws it.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <cmath>

#include "FileTestSupport.h"
#include "HcDocumentController.h"
#include "InterfaceCommon/CompressedUserDataItem.h"
#include "HcHalcyonView.h"
#include "HcMovie.h"
#include "HcProxyCalls.h"
#include "HcViewerApplicationDelegate.h"
#include "HcViewerDocument.h"
#include "HcViewerWindowController.h"
#include "HcWindow.h"
#include "PlayerTestSupport.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"

namespace rt = hc::runtime;
namespace mf = hc::movfile;
using namespace PlayerTestSupport;

namespace {

QUrl UrlOf(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }

// A copy of the sample whose stored presentation decompresses to bytes that
// are no object graph.
std::string MovieWithDamagedPresentation(const ScratchFolder& folder) {
  const std::string path = folder / "damaged.mov";
  RunTool({"cp", SampleMovie(), path});
  mf::MovFile movie;
  if (movie.OpenForUpdate(path) != mf::MovErr::Ok) return {};
  std::vector<uint8_t> garbage(600);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 37 + 11);
  if (WriteCompressedUserDataItem(true, garbage, movie.UserData(), mf::MovFourCC("zlib"),
                                  kPresentationUserDataType) != AppErr::kNoErr ||
      movie.Save() != mf::MovErr::Ok) {
    return {};
  }
  return path;
}

class RealMovieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeAlerts();
    ClearUserDefaults();
  }
  void TearDown() override {
    documents.closeAllDocuments();
    Spin(std::chrono::milliseconds(20));
  }
  HcViewerApplicationDelegate delegate;
  HcDocumentController documents{&delegate};
};

}  // namespace

TEST_F(RealMovieTest, AMovieWithoutAStoredPresentationOpensAndDraws) {
  HcError error;
  HcViewerDocument* document = documents.openDocumentWithContentsOfURL(UrlOf(SampleMovie()), true, &error);
  ASSERT_NE(document, nullptr) << error.localizedDescription.toStdString();
  EXPECT_TRUE(TakeAlerts().empty());
  ASSERT_TRUE(document->presentation());
  const rt::ObjectRef context = document->contextHelper();
  ASSERT_TRUE(context);
  EXPECT_TRUE(HcProxyCalls::SendForObject(context.Get(), "mainView"));
  HcViewerWindowController& controller = *document->windowControllers().front();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
  EXPECT_TRUE(controller.halcyonView()->isRunning());
  EXPECT_TRUE(WaitFor([&] { return controller.halcyonView()->framesDrawn() > 0; }, std::chrono::seconds(20)));
  EXPECT_EQ(controller.halcyonView()->size(), QSize(640, 480));
}

TEST_F(RealMovieTest, ClosingWhilePlayingEndsTheDrawingAndFreesTheScene) {
  HcError error;
  HcViewerDocument* document = documents.openDocumentWithContentsOfURL(UrlOf(SampleMovie()), true, &error);
  ASSERT_NE(document, nullptr) << error.localizedDescription.toStdString();
  HcViewerWindowController& controller = *document->windowControllers().front();
  controller.playToggle();
  ASSERT_TRUE(document->movie()->isPlaying());
  ASSERT_TRUE(WaitFor([&] { return controller.halcyonView()->framesDrawn() > 2; }, std::chrono::seconds(20)));
  const double before = document->movie()->currentTime();
  EXPECT_TRUE(WaitFor([&] { return document->movie()->currentTime() > before; }));
  QPointer<HcMovie> movie(document->movie());
  controller.window()->close();
  EXPECT_TRUE(WaitFor([&] { return documents.documents().empty(); }));
  // The movie goes a second after its document.
  EXPECT_FALSE(movie.isNull());
  EXPECT_TRUE(WaitFor([&] { return movie.isNull(); }, std::chrono::milliseconds(2500)));
}

TEST_F(RealMovieTest, ADamagedPresentationShowsItsMessageAndThePlayerGoesOn) {
  ScratchFolder folder;
  const std::string damaged = MovieWithDamagedPresentation(folder);
  ASSERT_FALSE(damaged.empty());
  documents.openFiles({QString::fromStdString(damaged), QString::fromStdString(SampleMovie())});
  const std::vector<HcAlert::Request> alerts = TakeAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].message,
            QStringLiteral("A presentation is not included with this movie. Player cannot function without one."));
  // The other movie opened all the same.
  ASSERT_EQ(documents.documents().size(), 1u);
  EXPECT_EQ(documents.documents().front()->fileURL(), UrlOf(SampleMovie()));
}

TEST_F(RealMovieTest, ADragAKeyAndTheViewsetKeysTurnAndChangeThePicture) {
  HcError error;
  HcViewerDocument* document = documents.openDocumentWithContentsOfURL(UrlOf(SampleMovie()), true, &error);
  ASSERT_NE(document, nullptr) << error.localizedDescription.toStdString();
  HcViewerWindowController& controller = *document->windowControllers().front();
  HcHalcyonView* view = controller.halcyonView();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window()));
  ASSERT_TRUE(WaitFor([&] { return view->framesDrawn() > 0; }, std::chrono::seconds(20)));
  const rt::ObjectRef context = document->contextHelper();
  const auto pan = [&] {
    return HcProxyCalls::SendForFloat(HcProxyCalls::SendForObject(context.Get(), "mainView").Get(), "panAngle");
  };
  const auto grab = [&] {
    Spin(std::chrono::milliseconds(300));
    return controller.window()->screen()->grabWindow(view->surfaceWindowId()).toImage();
  };
  const QImage before = grab();
  const float startPan = pan();

  // A drag to the right turns the view.
  const QPoint centre = view->rect().center();
  QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, centre);
  for (int step = 1; step <= 10; ++step) {
    QTest::mouseMove(view, centre + QPoint(step * 15, 0));
    Spin(std::chrono::milliseconds(30));
  }
  EXPECT_TRUE(WaitFor([&] { return std::abs(pan() - startPan) > 1.0f; })) << pan();
  QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, centre + QPoint(150, 0));
  const QImage dragged = grab();
  EXPECT_NE(before, dragged);

  // So does an arrow key.
  view->setFocus();
  const float afterDrag = pan();
  QTest::keyPress(view, Qt::Key_Left);
  Spin(std::chrono::milliseconds(400));
  QTest::keyRelease(view, Qt::Key_Left);
  EXPECT_TRUE(WaitFor([&] { return std::abs(pan() - afterDrag) > 0.5f; })) << pan();

  // The keys 1 to 9 choose the viewsets in menu order.
  const QList<QAction*> items = controller.viewsetsMenu()->actions();
  ASSERT_GE(items.size(), 3);
  QTest::keyClick(view, Qt::Key_2);
  EXPECT_EQ(QString::fromStdString(HcProxyCalls::Call(context.Get(), "viewsetName").GetString()), items[2]->text());
  QTest::keyClick(view, Qt::Key_1);
  EXPECT_EQ(QString::fromStdString(HcProxyCalls::Call(context.Get(), "viewsetName").GetString()), items[1]->text());
}

TEST_F(RealMovieTest, AMovieMarkedToPlayStartsWhenItsWindowOpens) {
  ScratchFolder folder;
  const std::string path = folder / "autoplay.mov";
  RunTool({"cp", SampleMovie(), path});
  {
    mf::MovFile movie;
    ASSERT_EQ(movie.OpenForUpdate(path), mf::MovErr::Ok);
    ASSERT_EQ(movie.UserData().AppendItem(mf::MovFourCC("play"), std::vector<uint8_t>{1}), mf::MovErr::Ok);
    ASSERT_EQ(movie.Save(), mf::MovErr::Ok);
  }
  HcError error;
  HcViewerDocument* playing = documents.openDocumentWithContentsOfURL(UrlOf(path), true, &error);
  ASSERT_NE(playing, nullptr) << error.localizedDescription.toStdString();
  EXPECT_TRUE(playing->movie()->isPlaying());
  HcViewerDocument* still = documents.openDocumentWithContentsOfURL(UrlOf(SampleMovie()), true, &error);
  ASSERT_NE(still, nullptr);
  EXPECT_FALSE(still->movie()->isPlaying());
}
