#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "EquirectangularGrid.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "View/CylinderViewOpenGL.h"
#include "View/PerspectiveViewOpenGL.h"
#include "ViewPictureSupport.h"

namespace {

constexpr int kCylinderWidth = 640;
constexpr int kCylinderHeight = 480;
constexpr double kPi = 3.14159265358979323846;

// v360's cylindrical picture of the whole turn centred on our pan: the
// cylinder view puts 360 degrees over the frame's width and the tangent of
// the tilt at the same scale, so the frame's top edge lies at
// atan(pi h / w) and v_fov is twice that.
std::string V360Cylinder(float pan, int width, int height) {
  const double vfov = 2.0 * std::atan(kPi * height / width) * 180.0 / kPi;
  char text[200];
  std::snprintf(text, sizeof text, "v360=e:cylindrical:yaw=%.4f:h_fov=360:v_fov=%.4f:interp=linear", V360Yaw(pan),
                vfov);
  return text;
}

TEST(CylinderPicture, CylinderViewMatchesV360) {
  RegisterAllClasses();
  const TestImage picture = MakeEquirectangularGrid(1024, 512);
  ViewScene scene;
  ASSERT_TRUE(scene.Make(kCylinderWidth, kCylinderHeight, picture, KsMakeRef<EquirectangularProj>()));
  auto view = KsMakeRef<CylinderViewOpenGL>();
  view->SetSource(scene.source);
  for (float pan : {0.0f, 120.0f, 250.0f}) {
    view->SetLookDirection(pan, 0, 60, 0);
    const TestImage ours = scene.Draw(view);
    ASSERT_FALSE(ours.Empty());
    const TestImage theirs = RunV360(picture, V360Cylinder(pan, kCylinderWidth, kCylinderHeight), kCylinderWidth, kCylinderHeight);
    ASSERT_FALSE(theirs.Empty());
    EXPECT_LE(BlurredMeanAbsDifference(ours, theirs), 4.0) << pan;
    EXPECT_GT(BlurredMeanAbsDifference(ours, MirroredLeftRight(theirs)), 8.0) << pan;
    const TestImage turnedWrongWay = RunV360(picture, V360Cylinder(-pan + 60.0f, kCylinderWidth, kCylinderHeight), kCylinderWidth, kCylinderHeight);
    EXPECT_GT(BlurredMeanAbsDifference(ours, turnedWrongWay), 8.0) << pan;
  }
}

// A cylindrical source (v360's cylindrical picture of the grid, 100 degrees
// high like our cylindrical projection's default) seen through the
// perspective view, against v360's flat view of the same picture.
TEST(CylinderPicture, PerspectiveViewOfACylindricalSourceMatchesV360) {
  RegisterAllClasses();
  const TestImage grid = MakeEquirectangularGrid(1024, 512);
  const TestImage cylinder =
      RunV360(grid, "v360=e:cylindrical:h_fov=360:v_fov=100:interp=linear", 1024, 512);
  ASSERT_FALSE(cylinder.Empty());
  ViewScene scene;
  ASSERT_TRUE(scene.Make(kCylinderWidth, kCylinderHeight, cylinder, KsMakeRef<CylindricalProj>()));
  auto view = KsMakeRef<PerspectiveViewOpenGL>();
  view->SetSource(scene.source);
  const std::string input = "cylindrical:ih_fov=360:iv_fov=100";
  for (const Look& look : {Look{30, 10, 50}, Look{250, -15, 60}}) {
    view->SetLookDirection(look.pan, look.tilt, look.vfov, 0);
    const TestImage ours = scene.Draw(view);
    ASSERT_FALSE(ours.Empty());
    const TestImage theirs = RunV360(cylinder, V360Flat(look, kCylinderWidth, kCylinderHeight, input), kCylinderWidth, kCylinderHeight);
    ASSERT_FALSE(theirs.Empty());
    EXPECT_LE(BlurredMeanAbsDifference(ours, theirs), 4.0) << look.pan;
    EXPECT_GT(BlurredMeanAbsDifference(ours, MirroredLeftRight(theirs)), 8.0) << look.pan;
  }
}

TEST(CylinderPicture, PointsFollowThePanAcrossTheFrame) {
  RegisterAllClasses();
  auto view = KsMakeRef<CylinderViewOpenGL>();
  view->SetFrame({0, 0, 720, 240});
  KsPointF point;
  ASSERT_EQ(0, view->PointAtDirectionDeg(0, 45, &point, 1));
  EXPECT_NEAR(360.0f, point.x, 1e-3);
  EXPECT_NEAR(120.0f + 720.0f / (2 * kPi), point.y, 1e-3);
  float pan = 0.0f;
  float tilt = 0.0f;
  view->DirectionAtPointDeg({0, 120}, &pan, &tilt);
  EXPECT_NEAR(-180.0f, pan, 1e-3);
  EXPECT_NEAR(0.0f, tilt, 1e-3);
  ASSERT_EQ(0, view->PointAtDirectionDeg(350, 0, &point, -1));
  EXPECT_NEAR(170.0f / 360.0f * 720.0f, point.x, 1e-3);
  KsPointF copies[3];
  for (int i = 0; i < 3; ++i) ASSERT_EQ(0, view->PointAtDirectionDeg(30, 10, &copies[i], i));
  EXPECT_NEAR(720.0f, copies[1].x - copies[0].x, 1e-3);
  EXPECT_NEAR(720.0f, copies[2].x - copies[1].x, 1e-3);
  EXPECT_EQ(-2, view->PointAtDirectionDeg(30, 10, &point, 3));
  EXPECT_EQ(3u, view->GetNumberOfImages());
  EXPECT_FLOAT_EQ(1.0f, view->GetNaturalAspectRatio());
}

// The grid clamps the tilt short of the poles: a source reaching them draws
// without infinite vertices.
TEST(CylinderPicture, APoleToPoleSourceDrawsFinitely) {
  RegisterAllClasses();
  const TestImage picture = MakeEquirectangularGrid(512, 256);
  ViewScene scene;
  ASSERT_TRUE(scene.Make(320, 480, picture, KsMakeRef<EquirectangularProj>()));
  auto view = KsMakeRef<CylinderViewOpenGL>();
  view->SetSource(scene.source);
  eAppErr result = -1;
  const TestImage ours = scene.Draw(view, true, &result);
  EXPECT_EQ(0, result);
  const TestImage theirs = RunV360(picture, V360Cylinder(0, 320, 480), 320, 480);
  EXPECT_LE(BlurredMeanAbsDifference(ours, theirs), 4.0);
}

}  // namespace
