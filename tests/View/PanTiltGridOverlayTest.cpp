#include <gtest/gtest.h>

#include <cmath>

#include "RegisterAllClasses.h"
#include "Responder/MouseIgnoreResponder.h"
#include "View/CylinderViewOpenGL.h"
#include "View/PanTiltGridOverlay.h"
#include "View/PerspectiveViewOpenGL.h"
#include "ViewPictureSupport.h"

namespace {

constexpr int kOverlayWidth = 320;
constexpr int kOverlayHeight = 240;

bool IsGreen(const TestImage& image, int x, int y) {
  return image.At(x, y, 1) > 100 && image.At(x, y, 0) < 60 && image.At(x, y, 2) < 60;
}

// The angular distance (degrees) from a direction to the nearest line of the
// 10-degree graticule, across the pan scaled to the parallel's length.
double DistanceToGraticule(float pan, float tilt) {
  const double toMeridian = std::fabs(std::remainder(pan, 10.0f)) * std::cos(tilt * 0.0174533);
  const double toParallel = std::fabs(std::remainder(tilt, 10.0f));
  return std::min(toMeridian, toParallel);
}

class Overlay : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    ASSERT_TRUE(scene.drawing.Make(kOverlayWidth, kOverlayHeight));
    overlay->SetGridColor({0.0f, 1.0f, 0.0f, 1.0f});
    overlay->SetFrame(KsRectF(0, 0, kOverlayWidth, kOverlayHeight));
  }

  // Every green pixel lies on the graticule as the reference view maps it.
  void ExpectOnlyGraticule(const TestImage& picture, PanoView& view, double pixelDegrees, int* green) {
    *green = 0;
    int strays = 0;
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        if (!IsGreen(picture, x, y)) continue;
        ++*green;
        float pan = 0.0f;
        float tilt = 0.0f;
        view.DirectionAtPointDeg({x + 0.5f, picture.height - y - 0.5f}, &pan, &tilt);
        if (DistanceToGraticule(pan, tilt) > 2.5 * pixelDegrees) ++strays;
      }
    }
    EXPECT_EQ(0, strays);
  }

  ViewScene scene;
  KsRef<PanTiltGridOverlay> overlay = KsMakeRef<PanTiltGridOverlay>();
};

TEST_F(Overlay, LinesFollowThePerspectiveViewAndBreakBehindTheEye) {
  auto view = KsMakeRef<PerspectiveViewOpenGL>();
  view->SetFrame(KsRectF(0, 0, kOverlayWidth, kOverlayHeight));
  overlay->SetReferenceView(view);
  for (const Look& look : {Look{95, 0, 60}, Look{0, 75, 100}, Look{200, -40, 90}}) {
    view->SetLookDirection(look.pan, look.tilt, look.vfov, 0);
    eAppErr result = -1;
    const TestImage picture = scene.Draw(overlay, false, &result);
    ASSERT_EQ(0, result);
    int green = 0;
    ExpectOnlyGraticule(picture, *view, look.vfov / kOverlayHeight, &green);
    EXPECT_GT(green, 300) << look.pan;
  }
  // The crossing at pan 90, tilt 0 lands where the view maps it.
  view->SetLookDirection(95, 0, 60, 0);
  const TestImage picture = scene.Draw(overlay, false);
  KsPointF crossing;
  ASSERT_EQ(0, view->PointAtDirectionDeg(90, 0, &crossing, 0));
  EXPECT_TRUE(IsGreen(picture, static_cast<int>(crossing.x), kOverlayHeight - 1 - static_cast<int>(crossing.y)));
}

TEST_F(Overlay, LinesFollowTheCylinderView) {
  auto view = KsMakeRef<CylinderViewOpenGL>();
  view->SetFrame(KsRectF(0, 0, kOverlayWidth, kOverlayHeight));
  view->SetLookDirection(45, 0, 60, 0);
  overlay->SetReferenceView(view);
  int green = 0;
  const TestImage picture = scene.Draw(overlay, false);
  ExpectOnlyGraticule(picture, *view, 360.0 / kOverlayWidth, &green);
  EXPECT_GT(green, 300);
}

TEST_F(Overlay, SettingsAndRefusals) {
  EXPECT_EQ(-2, overlay->SetPanDivisions(1));
  EXPECT_EQ(-2, overlay->SetTiltDivisions(0));
  EXPECT_EQ(120u, overlay->GetPanDivisions());
  EXPECT_EQ(0, overlay->SetPanDivisions(2));
  eAppErr result = 0;
  scene.Draw(overlay, false, &result);
  EXPECT_EQ(-903, result);
  EXPECT_EQ(-2, overlay->Draw(nullptr));
  auto responder = overlay->GetMouseResponder().DynamicCast<MouseIgnoreResponder>();
  ASSERT_TRUE(responder);
  EXPECT_TRUE(responder->GetTransparent());
  // Two divisions: each meridian one segment from the nadir to the zenith.
  auto view = KsMakeRef<CylinderViewOpenGL>();
  view->SetFrame(KsRectF(0, 0, kOverlayWidth, kOverlayHeight));
  overlay->SetReferenceView(view);
  scene.Draw(overlay, false, &result);
  EXPECT_EQ(0, result);
}

}  // namespace
