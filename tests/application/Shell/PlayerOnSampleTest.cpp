// The player on the sample movie: its window is grabbed once it drew and its
// panoramic view compared with ffmpeg's v360 of the same movie frame at the
// view's look direction.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>

#include "General/CocoaBridge.h"
#include "HcDocumentController.h"
#include "HcHalcyonView.h"
#include "HcMovie.h"
#include "HcViewerApplicationDelegate.h"
#include "HcViewerDocument.h"
#include "HcViewerWindowController.h"
#include "ImageTestSupport.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "ShellTestSupport.h"
#include "View/PanoView.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The sample as scripts/play makes it, smaller: 1024 x 512, 3 seconds.
const QString& SampleMovie() {
  static QTemporaryDir folder;
  static const QString path = [] {
    const QString movie = folder.filePath("sample.mov");
    const int made = QProcess::execute(QStringLiteral(HC_TEST_SOURCE_DIR "/scripts/make-sample-movie"),
                                       {movie, "1024", "3", "30"});
    if (made != 0) return QString();
    if (QProcess::execute(QStringLiteral(HC_SAMPLE_PRESENTATION_TOOL), {movie}) != 0) return QString();
    return movie;
  }();
  return path;
}

TestImage FirstFrame(const QString& movie) {
  QTemporaryDir folder;
  const QString frame = folder.filePath("frame.ppm");
  QProcess::execute("ffmpeg", {"-v", "error", "-y", "-i", movie, "-frames:v", "1", "-pix_fmt", "rgb24", frame});
  return ReadPnm(frame.toStdString());
}

TestImage FromQImage(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  TestImage out = TestImage::Blank(rgb.width(), rgb.height(), 3);
  for (int y = 0; y < rgb.height(); ++y) {
    std::memcpy(&out.pixels[static_cast<size_t>(y) * rgb.width() * 3], rgb.constScanLine(y),
                static_cast<size_t>(rgb.width()) * 3);
  }
  return out;
}

double BlurredMeanAbsDifference(const TestImage& a, const TestImage& b) {
  if (a.width != b.width || a.height != b.height || a.channels != b.channels || a.Empty()) return 1e9;
  const TestImage ba = BoxBlur3(a);
  const TestImage bb = BoxBlur3(b);
  double worst = 0.0;
  for (int c = 0; c < a.channels; ++c) {
    double total = 0.0;
    for (size_t i = c; i < ba.pixels.size(); i += a.channels) total += std::abs(ba.pixels[i] - bb.pixels[i]);
    worst = std::max(worst, total / (static_cast<double>(ba.pixels.size()) / a.channels));
  }
  return worst;
}

// v360 puts yaw 0 at the image centre, we put pan 0 at its left edge; both
// turn to the right. Its pitch is our tilt; fields of view in degrees.
std::string V360Flat(double pan, double tilt, double vfov, int width, int height) {
  double yaw = std::fmod(pan - 180.0, 360.0);
  if (yaw > 180.0) yaw -= 360.0;
  if (yaw < -180.0) yaw += 360.0;
  const double hfov = 2.0 * std::atan(std::tan(vfov * kPi / 360.0) * width / height) * 180.0 / kPi;
  char text[200];
  std::snprintf(text, sizeof text, "v360=input=e:output=flat:yaw=%.4f:pitch=%.4f:v_fov=%.4f:h_fov=%.4f:interp=linear",
                yaw, tilt, vfov, hfov);
  return text;
}

struct Look {
  double pan = 0, tilt = 0, vfov = 0;
};

class PlayerOnSample : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(SampleMovie().isEmpty()) << "the sample movie could not be made";
    HcError error;
    document = documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(SampleMovie()), true, &error);
    ASSERT_TRUE(document) << error.localizedDescription.toStdString();
    ASSERT_FALSE(document->windowControllers().empty());
    controller = document->windowControllers().front().get();
    view = controller->halcyonView();
    ASSERT_TRUE(view);
    // Generous: the suite may run beside every other one.
    ASSERT_TRUE(WaitUntil([&] { return view->framesDrawn() >= 3; }, std::chrono::seconds(90)));
  }
  void TearDown() override { documents.closeAllDocuments(); }

  KsRef<PanoView> MainView() {
    KsRef<HcContextHelper> context = KsObjectFromCocoa(controller->contextHelper().Get()).DynamicCast<HcContextHelper>();
    return context ? context->GetMainView().DynamicCast<PanoView>() : KsRef<PanoView>();
  }
  Look CurrentLook() {
    KsRef<PanoView> main = MainView();
    return main ? Look{main->GetPanAngle(), main->GetTiltAngle(), main->GetVFOV()} : Look{};
  }
  // The view's picture once two grabs a moment apart agree.
  TestImage SettledPicture() {
    QImage last;
    for (int i = 0; i < 40; ++i) {
      QTest::qWait(150);
      QImage now = GrabNativeWindow(view->surfaceWindowId());
      if (!now.isNull() && now == last) return FromQImage(now);
      last = now;
    }
    return FromQImage(last);
  }

  HcViewerApplicationDelegate delegate;
  HcDocumentController documents{&delegate};
  HcViewerDocument* document = nullptr;
  HcViewerWindowController* controller = nullptr;
  HcHalcyonView* view = nullptr;
};

TEST_F(PlayerOnSample, ThePanoramicViewMatchesV360BeforeAndAfterADrag) {
  const TestImage frame = FirstFrame(SampleMovie());
  ASSERT_FALSE(frame.Empty());
  const TestImage shown = SettledPicture();
  ASSERT_FALSE(shown.Empty());
  // Paused and unchanged, the window is not drawn again.
  const uint64_t drawn = view->framesDrawn();
  QTest::qWait(500);
  EXPECT_EQ(drawn, view->framesDrawn());
  const Look look = CurrentLook();
  ASSERT_GT(look.vfov, 0.0);
  const TestImage theirs = RunV360(frame, V360Flat(look.pan, look.tilt, look.vfov, shown.width, shown.height),
                                   shown.width, shown.height);
  ASSERT_FALSE(theirs.Empty());
  const double difference = BlurredMeanAbsDifference(shown, theirs);
  EXPECT_LE(difference, 6.0) << "pan " << look.pan << " tilt " << look.tilt << " vfov " << look.vfov;
  if (difference > 6.0) {
    WritePnm(QDir::temp().filePath("player-shown.ppm").toStdString(), shown);
    WritePnm(QDir::temp().filePath("player-v360.ppm").toStdString(), theirs);
  }
  // Tilted elsewhere the comparison fails: it tells pictures apart.
  const TestImage away = RunV360(frame, V360Flat(look.pan, look.tilt + 25, look.vfov, shown.width, shown.height),
                                 shown.width, shown.height);
  EXPECT_GT(BlurredMeanAbsDifference(shown, away), 2 * std::max(difference, 6.0));

  // A drag turns the view, and the picture with it.
  const QPoint centre(view->width() / 2, view->height() / 2);
  QTest::mousePress(view, Qt::LeftButton, {}, centre);
  for (int step = 1; step <= 10; ++step) {
    QTest::mouseMove(view, centre + QPoint(step * 12, 0), 20);
  }
  QTest::qWait(300);
  QTest::mouseRelease(view, Qt::LeftButton, {}, centre + QPoint(120, 0));
  ASSERT_TRUE(WaitUntil([&] { return std::abs(CurrentLook().pan - look.pan) > 1.0; }, std::chrono::seconds(5)));
  const TestImage afterDrag = SettledPicture();
  EXPECT_GT(BlurredMeanAbsDifference(shown, afterDrag), 3.0);
  const Look settled = CurrentLook();
  EXPECT_LE(BlurredMeanAbsDifference(afterDrag, RunV360(frame, V360Flat(settled.pan, settled.tilt, settled.vfov,
                                                                             shown.width, shown.height),
                                                            shown.width, shown.height)),
            6.0)
      << "after the drag: pan " << settled.pan;

}

}  // namespace

namespace {

TEST_F(PlayerOnSample, APausedWindowStopsDrawingAfterPlaying) {
  document->movie()->setLooping(true);
  document->movie()->setRate(8.0);
  QTest::qWait(1500);
  document->movie()->setRate(0.0);
  QTest::qWait(1000);
  const uint64_t drawn = view->framesDrawn();
  QTest::qWait(1000);
  EXPECT_LE(view->framesDrawn() - drawn, 1u);
}

}  // namespace
