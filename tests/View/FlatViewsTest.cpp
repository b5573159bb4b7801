#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "EquirectangularGrid.h"
#include "FileTestSupport.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "View/CartesianProjectionView.h"
#include "View/FlatSourceView.h"
#include "ViewPictureSupport.h"
#include "ViewTestSupport.h"

namespace {

constexpr int kFlatWidth = 640;
constexpr int kFlatHeight = 320;

// v360's equirectangular picture turned so that our pan lies in the middle.
std::string V360Turned(float pan) {
  char text[120];
  std::snprintf(text, sizeof text, "v360=e:e:yaw=%.4f:interp=linear", V360Yaw(pan));
  return text;
}

// ffmpeg's own resize of the picture (bilinear).
TestImage Resized(const TestImage& picture, int width, int height) {
  ScratchFolder folder;
  const std::string in = folder / "in.ppm";
  const std::string out = folder / "out.raw";
  if (!WritePnm(in, picture)) return {};
  if (RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", in, "-vf",
               "scale=" + std::to_string(width) + ":" + std::to_string(height) + ":flags=bilinear", "-f", "rawvideo",
               "-pix_fmt", "rgb24", out}) != 0) {
    return {};
  }
  return ReadRaw(out, width, height, 3);
}

class FlatViews : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    picture = MakeEquirectangularGrid(1024, 512);
    ASSERT_TRUE(scene.Make(kFlatWidth, kFlatHeight, picture, KsMakeRef<EquirectangularProj>()));
  }
  TestImage picture;
  ViewScene scene;
};

TEST_F(FlatViews, CartesianViewScrollsWithThePanLikeV360) {
  auto view = KsMakeRef<CartesianProjectionView>();
  view->SetSource(scene.source);
  view->SetFrame(KsRectF(0, 0, kFlatWidth, kFlatHeight));
  ASSERT_EQ(0, view->SetProjection(KsMakeRef<EquirectangularProj>()));
  for (float pan : {0.0f, 100.0f, 250.0f}) {
    view->SetLookDirection(pan, 0, 60, 0);
    const TestImage ours = scene.Draw(view);
    ASSERT_FALSE(ours.Empty()) << pan;
    const TestImage theirs = RunV360(picture, V360Turned(pan), kFlatWidth, kFlatHeight);
    EXPECT_LE(BlurredMeanAbsDifference(ours, theirs), 4.0) << pan;
    EXPECT_GT(BlurredMeanAbsDifference(ours, MirroredLeftRight(theirs)), 8.0) << pan;
  }
  // A steady frame neither rebuilds the mesh nor re-textures it.
  const uint32_t builds = view->GetBuildCount();
  const uint32_t passes = view->GetTexturePassCount();
  scene.Draw(view);
  EXPECT_EQ(builds, view->GetBuildCount());
  EXPECT_EQ(passes, view->GetTexturePassCount());
  // A new level of detail rebuilds and re-textures all of it.
  ASSERT_EQ(0, view->SetLOD(12));
  scene.Draw(view);
  EXPECT_EQ(builds + 1, view->GetBuildCount());
  EXPECT_EQ(passes + 1, view->GetTexturePassCount());
  EXPECT_EQ(-2, view->SetLOD(0));
}

TEST_F(FlatViews, CartesianPointsWrapByWholeImages) {
  auto view = KsMakeRef<CartesianProjectionView>();
  view->SetFrame(KsRectF(0, 0, kFlatWidth, kFlatHeight));
  KsPointF point;
  float pan = 0.0f;
  float tilt = 0.0f;
  EXPECT_EQ(-903, view->PointAtDirectionDeg(10, 0, &point, 1));
  EXPECT_FLOAT_EQ(1.0f, view->GetNativeAspectRatio());
  EXPECT_FLOAT_EQ(1.0f / 360.0f, view->GetPanScale());
  view->SetProjection(KsMakeRef<EquirectangularProj>());
  view->SetLookDirection(90, 0, 60, 0);
  ASSERT_EQ(0, view->PointAtDirectionDeg(90, 0, &point, 1));
  EXPECT_NEAR(kFlatWidth / 2.0f, point.x, 1e-2);
  EXPECT_NEAR(kFlatHeight / 2.0f, point.y, 1e-2);
  KsPointF copies[3];
  for (int i = 0; i < 3; ++i) ASSERT_EQ(0, view->PointAtDirectionDeg(30, 20, &copies[i], i));
  EXPECT_NEAR(kFlatWidth, copies[1].x - copies[0].x, 1e-2);
  EXPECT_NEAR(kFlatWidth, copies[2].x - copies[1].x, 1e-2);
  EXPECT_GT(copies[1].y, kFlatHeight / 2.0f);
  EXPECT_EQ(-2, view->PointAtDirectionDeg(30, 20, &point, 3));
  ASSERT_EQ(0, view->DirectionAtPointDeg(copies[1], &pan, &tilt));
  EXPECT_NEAR(30.0f, pan, 1e-2);
  EXPECT_NEAR(20.0f, tilt, 1e-2);
  // A point left of the first copy lies a turn lower.
  ASSERT_EQ(0, view->DirectionAtPointDeg({copies[1].x - kFlatWidth, copies[1].y}, &pan, &tilt));
  EXPECT_NEAR(30.0f - 360.0f, pan, 1e-2);
  // Far away or not finite: no endless wrapping.
  EXPECT_EQ(0, view->DirectionAtPointDeg({1e9f, copies[1].y}, &pan, &tilt));
  EXPECT_EQ(1101, view->DirectionAtPointDeg({NAN, 10}, &pan, &tilt));
  EXPECT_EQ(1101, view->DirectionAtPointDeg({INFINITY, 10}, &pan, &tilt));
  // Ignoring the look direction, the pan changes nothing.
  view->SetIgnoreLookDirection(true);
  ASSERT_EQ(0, view->PointAtDirectionDeg(0, 0, &point, 1));
  view->SetLookDirection(200, 0, 60, 0);
  KsPointF again;
  ASSERT_EQ(0, view->PointAtDirectionDeg(0, 0, &again, 1));
  EXPECT_EQ(point, again);
}

TEST_F(FlatViews, FlatSourceViewShowsTheWholeImage) {
  auto view = KsMakeRef<FlatSourceView>();
  EXPECT_EQ(1.0f, view->GetZDepth());
  EXPECT_FALSE(view->GetDrawTileBoundaries());
  view->SetSource(scene.source);
  const TestImage ours = scene.Draw(view);
  ASSERT_FALSE(ours.Empty());
  EXPECT_LE(BlurredMeanAbsDifference(ours, Resized(picture, kFlatWidth, kFlatHeight)), 4.0);
  EXPECT_GT(BlurredMeanAbsDifference(ours, MirroredLeftRight(Resized(picture, kFlatWidth, kFlatHeight))), 8.0);
}

TEST_F(FlatViews, FlatSourceViewPointsGoThroughTheSourceProjection) {
  auto view = KsMakeRef<FlatSourceView>();
  view->SetFrame({10, 20, 200, 100});
  KsPointF point;
  float pan = 0.0f;
  float tilt = 0.0f;
  EXPECT_EQ(-2, view->PointAtDirectionDeg(0, 0, &point, 1));
  EXPECT_EQ(-102, view->PointAtDirectionDeg(0, 0, &point, 0));
  EXPECT_EQ(-102, view->DirectionAtPointDeg({0, 0}, &pan, &tilt));
  view->SetSource(scene.source);
  ASSERT_EQ(0, view->PointAtDirectionDeg(180, 0, &point, 0));
  EXPECT_NEAR(110.0f, point.x, 1e-3);
  EXPECT_NEAR(70.0f, point.y, 1e-3);
  // The top of the image at the top of the frame.
  ASSERT_EQ(0, view->PointAtDirectionDeg(90, 45, &point, 0));
  EXPECT_NEAR(60.0f, point.x, 1e-3);
  EXPECT_NEAR(95.0f, point.y, 1e-3);
  ASSERT_EQ(0, view->DirectionAtPointDeg(point, &pan, &tilt));
  EXPECT_NEAR(90.0f, pan, 1e-3);
  EXPECT_NEAR(45.0f, tilt, 1e-3);
  // Before the source has data the view draws nothing, answers 0 and is
  // not hit.
  auto empty = KsMakeRef<StubSource>();
  empty->hasData = false;
  view->SetSource(empty);
  EXPECT_EQ(0, view->Draw(scene.drawing.renderer));
  EXPECT_TRUE(view->IsNotReady());
}

}  // namespace
