#include <gtest/gtest.h>

#include <cmath>

#include "EquirectangularGrid.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "View/SphereGrid.h"
#include "View/SphereViewOpenGL.h"
#include "ViewPictureSupport.h"

namespace {

constexpr int kSphereWidth = 640;
constexpr int kSphereHeight = 480;

TEST(SphereViewTest, RadialOffsetFollowsTheFieldOfView) {
  RegisterAllClasses();
  auto view = KsMakeRef<SphereViewOpenGL>();
  EXPECT_EQ(80.0f, view->GetVFOV());
  EXPECT_EQ(230.0f, view->GetVFOVMax());
  EXPECT_EQ(-1.0f, view->GetRadialOffset());
  view->SetRadialOffset(0.5f);
  EXPECT_EQ(-0.5f, view->GetRadialOffset());
  view->SetRadialOffset(-12.0f);
  EXPECT_EQ(-10.0f, view->GetRadialOffset());
  struct Case {
    float vfov, offset, cameraVfov;
  } cases[] = {{135, -0.5f, -1}, {60, 0, 60}, {90, 0, 90}, {200, -1, -1}, {180, -1, 90}};
  for (const Case& c : cases) {
    view->SetVFOV(c.vfov);
    EXPECT_FLOAT_EQ(c.offset, view->GetRadialOffset()) << c.vfov;
    if (c.cameraVfov > 0) {
      EXPECT_NEAR(c.cameraVfov, view->GetCameraVFOV(), 1e-3) << c.vfov;
    }
  }
  EXPECT_EQ(-2, view->GetGrid()->SetRadius(0.0f));
  EXPECT_EQ(0, view->GetGrid()->SetRadius(5.0f));
  EXPECT_EQ(5.0f, view->GetSphereRadius());
}

// At the centre the sphere view is a perspective view.
TEST(SphereViewTest, AtTheCentreItMatchesV360Flat) {
  RegisterAllClasses();
  const TestImage picture = MakeEquirectangularGrid(1024, 512);
  ViewScene scene;
  ASSERT_TRUE(scene.Make(kSphereWidth, kSphereHeight, picture, KsMakeRef<EquirectangularProj>()));
  auto view = KsMakeRef<SphereViewOpenGL>();
  view->SetSource(scene.source);
  const Look look{140, 15, 70};
  view->SetLookDirection(look.pan, look.tilt, look.vfov, 0);
  ASSERT_EQ(0.0f, view->GetRadialOffset());
  const TestImage ours = scene.Draw(view);
  ASSERT_FALSE(ours.Empty());
  const TestImage theirs = RunV360(picture, V360Flat(look, kSphereWidth, kSphereHeight), kSphereWidth, kSphereHeight);
  EXPECT_LE(BlurredMeanAbsDifference(ours, theirs), 4.0);
}

// Pulled back, the point mappings follow the sphere's own camera: a dot
// lands where PointAtDirectionDeg says and maps back to its direction.
TEST(SphereViewTest, MappingsAgreeWithThePulledBackPicture) {
  RegisterAllClasses();
  struct Case {
    float pan, tilt, vfov;
    Direction dot;
  } cases[] = {{100, 0, 135, {150, 20}}, {20, 30, 200, {300, -10}}, {0, 0, 60, {10, 5}}};
  for (const Case& c : cases) {
    ViewScene scene;
    ASSERT_TRUE(scene.Make(kSphereWidth, kSphereHeight, DotPicture(2048, 1024, c.dot), KsMakeRef<EquirectangularProj>()));
    auto view = KsMakeRef<SphereViewOpenGL>();
    view->SetSource(scene.source);
    view->SetFrame(KsRectF(0, 0, kSphereWidth, kSphereHeight));
    view->SetLookDirection(c.pan, c.tilt, c.vfov, 0);
    KsPointF drawn;
    ASSERT_TRUE(BrightCentre(scene.Draw(view), &drawn)) << c.vfov;
    KsPointF mapped;
    ASSERT_EQ(0, view->PointAtDirectionDeg(c.dot.pan, c.dot.tilt, &mapped, 0)) << c.vfov;
    EXPECT_NEAR(drawn.x, mapped.x, 1.0) << c.vfov;
    EXPECT_NEAR(drawn.y, mapped.y, 1.0) << c.vfov;
    float pan = 0.0f;
    float tilt = 0.0f;
    ASSERT_EQ(0, view->DirectionAtPointDeg(mapped, &pan, &tilt));
    EXPECT_NEAR(0.0f, std::remainder(pan - c.dot.pan, 360.0f), 1e-2);
    EXPECT_NEAR(c.dot.tilt, tilt, 1e-2);
  }
  auto view = KsMakeRef<SphereViewOpenGL>();
  view->SetFrame(KsRectF(0, 0, kSphereWidth, kSphereHeight));
  KsPointF point;
  EXPECT_EQ(-2, view->PointAtDirectionDeg(0, 0, &point, 1));
  // Pulled back beyond the sphere, its near side is hidden.
  view->SetRadialOffset(-3.0f);
  EXPECT_EQ(1101, view->PointAtDirectionDeg(view->GetPanAngle() + 180.0f, 0, &point, 0));
}

}  // namespace
