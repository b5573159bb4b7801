#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "EquirectangularGrid.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "View/PerspectiveViewOpenGL.h"
#include "ViewPictureSupport.h"

namespace {

constexpr int kPerspectiveWidth = 640;
constexpr int kPerspectiveHeight = 480;

class PerspectivePicture : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    picture = MakeEquirectangularGrid(1024, 512);
    ASSERT_TRUE(scene.Make(kPerspectiveWidth, kPerspectiveHeight, picture, KsMakeRef<EquirectangularProj>()));
    view = KsMakeRef<PerspectiveViewOpenGL>();
    view->SetSource(scene.source);
  }

  TestImage Ours(const Look& look) {
    view->SetLookDirection(look.pan, look.tilt, look.vfov, 0);
    return scene.Draw(view);
  }

  TestImage picture;
  ViewScene scene;
  KsRef<PerspectiveViewOpenGL> view;
};

TEST_F(PerspectivePicture, MatchesV360AtEveryLook) {
  const Look looks[] = {{0, 0, 60}, {90, 10, 50}, {200, -20, 40}, {315, 30, 75}};
  for (const Look& look : looks) {
    const TestImage ours = Ours(look);
    ASSERT_FALSE(ours.Empty());
    const TestImage theirs = RunV360(picture, V360Flat(look, kPerspectiveWidth, kPerspectiveHeight), kPerspectiveWidth, kPerspectiveHeight);
    ASSERT_FALSE(theirs.Empty());
    const double difference = BlurredMeanAbsDifference(ours, theirs);
    EXPECT_LE(difference, 4.0) << look.pan << " " << look.tilt << " " << look.vfov;
    // The comparison tells wrong pictures apart: mirrored, turned or tilted
    // the other way, or with the field of view on the wrong axis.
    EXPECT_GT(BlurredMeanAbsDifference(ours, MirroredLeftRight(theirs)), 8.0);
    std::vector<Look> wrongs = {
        {look.pan, -look.tilt - 5.0f, look.vfov},
        {look.pan, look.tilt,
         static_cast<float>(HorizontalFov(look.vfov, static_cast<double>(kPerspectiveWidth) / kPerspectiveHeight))}};
    if (std::fmod(look.pan, 180.0f) != 0.0f) wrongs.push_back({-look.pan, look.tilt, look.vfov});
    for (const Look& wrong : wrongs) {
      const TestImage other = RunV360(picture, V360Flat(wrong, kPerspectiveWidth, kPerspectiveHeight), kPerspectiveWidth, kPerspectiveHeight);
      EXPECT_GT(BlurredMeanAbsDifference(ours, other), 8.0) << wrong.pan << " " << wrong.tilt << " " << wrong.vfov;
    }
  }
}


TEST(PerspectivePoints, MappingsAgreeWithTheDrawnPicture) {
  RegisterAllClasses();
  struct Case {
    float pan, tilt, vfov, skew;
    Direction dot;
  } cases[] = {
      {90, 10, 50, 0, {100, 20}},
      {200, -20, 40, 15, {190, -28}},
      {315, 60, 75, 0, {345, 75}},
      {10, 0, 60, -30, {350, -10}},
  };
  for (const Case& c : cases) {
    ViewScene scene;
    ASSERT_TRUE(scene.Make(kPerspectiveWidth, kPerspectiveHeight, DotPicture(2048, 1024, c.dot), KsMakeRef<EquirectangularProj>()));
    auto view = KsMakeRef<PerspectiveViewOpenGL>();
    view->SetSource(scene.source);
    view->SetFrame(KsRectF(0, 0, kPerspectiveWidth, kPerspectiveHeight));
    view->SetLookDirection(c.pan, c.tilt, c.vfov, c.skew);
    KsPointF drawn;
    ASSERT_TRUE(BrightCentre(scene.Draw(view), &drawn)) << c.pan;
    KsPointF mapped;
    ASSERT_EQ(0, view->PointAtDirectionDeg(c.dot.pan, c.dot.tilt, &mapped, 0)) << c.pan;
    EXPECT_NEAR(drawn.x, mapped.x, 1.0) << c.pan;
    EXPECT_NEAR(drawn.y, mapped.y, 1.0) << c.pan;
    float pan = 0.0f;
    float tilt = 0.0f;
    ASSERT_EQ(0, view->DirectionAtPointDeg(drawn, &pan, &tilt));
    // One pixel of the picture, in degrees.
    const float pixel = c.vfov / kPerspectiveHeight;
    EXPECT_NEAR(0.0f, std::remainder(pan - c.dot.pan, 360.0f) * std::cos(c.dot.tilt * 0.0174533f), 1.5f * pixel);
    EXPECT_NEAR(c.dot.tilt, tilt, 1.5f * pixel);
  }
}

TEST(PerspectivePoints, DirectionsBehindTheEyeOrOutsideTheFrame) {
  RegisterAllClasses();
  auto view = KsMakeRef<PerspectiveViewOpenGL>();
  view->SetFrame(KsRectF(0, 0, kPerspectiveWidth, kPerspectiveHeight));
  view->SetLookDirection(90, 0, 60, 0);
  KsPointF point{-1, -1};
  EXPECT_EQ(1101, view->PointAtDirectionDeg(270, 0, &point, 0));
  EXPECT_EQ(KsPointF(-1, -1), point);
  EXPECT_EQ(1102, view->PointAtDirectionDeg(170, 0, &point, 0));
  EXPECT_GT(point.x, kPerspectiveWidth);
  EXPECT_EQ(0, view->PointAtDirectionDeg(90, 0, &point, -1));
  EXPECT_NEAR(kPerspectiveWidth / 2.0f, point.x, 1e-3);
  EXPECT_NEAR(kPerspectiveHeight / 2.0f, point.y, 1e-3);
  EXPECT_EQ(-2, view->PointAtDirectionDeg(90, 0, &point, 1));
  // Looking straight up, a point below the centre lies at the view's pan.
  view->SetLookDirection(40, 90, 60, 0);
  float pan = 0.0f;
  float tilt = 0.0f;
  ASSERT_EQ(0, view->DirectionAtPointDeg({kPerspectiveWidth / 2.0f, kPerspectiveHeight / 2.0f - 100}, &pan, &tilt));
  EXPECT_NEAR(40.0f, pan, 1e-3);
  EXPECT_LT(tilt, 90.0f);
  // A point right of the centre lies at a larger pan, looking up or down.
  for (float t : {30.0f, -30.0f, 0.0f}) {
    view->SetLookDirection(40, t, 60, 0);
    ASSERT_EQ(0, view->DirectionAtPointDeg({kPerspectiveWidth / 2.0f + 50, kPerspectiveHeight / 2.0f + 20}, &pan, &tilt));
    EXPECT_GT(pan, 40.0f) << t;
  }
}

}  // namespace
