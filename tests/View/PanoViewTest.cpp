#include <gtest/gtest.h>

#include <cmath>

#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcProperty.h"
#include "View/PanoView.h"
#include "ViewTestSupport.h"

namespace {

// A panoramic view without point mappings of its own.
class TestPanoView : public PanoView {
 public:
  eAppErr DirectionAtPointDeg(const KsPointF&, float*, float*) override { return 0; }
  eAppErr PointAtDirectionDeg(float, float, KsPointF*, int32_t) override { return 0; }
};

struct ViewLook {
  float pan, tilt, vfov, skew;
};

ViewLook Requested(PanoView& view) {
  ViewLook look{};
  view.GetLookDirection(&look.pan, &look.tilt, &look.vfov, &look.skew);
  return look;
}

ViewLook Constrained(PanoView& view) {
  ViewLook look{};
  view.GetConstrainedLookDirection(&look.pan, &look.tilt, &look.vfov, &look.skew);
  return look;
}

class PanoViewLook : public ::testing::Test {
 protected:
  void SetUp() override { RegisterAllClasses(); }
  KsRef<TestPanoView> view = KsMakeRef<TestPanoView>();
};

TEST_F(PanoViewLook, NewViewHasItsDefaults) {
  const ViewLook r = Requested(*view);
  const ViewLook c = Constrained(*view);
  EXPECT_EQ(0.0f, r.pan);
  EXPECT_EQ(0.0f, r.tilt);
  EXPECT_EQ(90.0f, r.vfov);
  EXPECT_EQ(0.0f, r.skew);
  EXPECT_EQ(90.0f, c.vfov);
  EXPECT_EQ(20.0f, view->GetVFOVMin());
  EXPECT_EQ(100.0f, view->GetVFOVMax());
  EXPECT_EQ(31u, view->GetLookConstraints());
  EXPECT_EQ(1u, view->GetNumberOfImages());
}

TEST_F(PanoViewLook, DirectionsWrapAndClamp) {
  struct Case {
    ViewLook set;
    uint32_t constraints;
    float vfovMin, vfovMax;
    ViewLook requested, constrained;
  } cases[] = {
      {{-30, 0, 60, 0}, 31, 20, 100, {330, 0, 60, 0}, {330, 0, 60, 0}},
      {{725, 10, 60, 5}, 31, 20, 100, {5, 10, 60, 5}, {5, 10, 60, 5}},
      {{0, 0, 2, 0}, 31, 20, 100, {0, 0, 20, 0}, {0, 0, 20, 0}},
      {{0, 0, 150, 0}, 31, 20, 100, {0, 0, 100, 0}, {0, 0, 100, 0}},
      {{0, 120, 60, 0}, 31, 20, 100, {0, 90, 60, 0}, {0, 90, 60, 0}},
      // Without write-back the requested values keep what was set.
      {{0, 120, 150, 0}, 0, 20, 100, {0, 120, 150, 0}, {0, 120, 100, 0}},
      // A minimum above the maximum: the maximum wins.
      {{0, 0, 70, 0}, 31, 50, 40, {0, 0, 40, 0}, {0, 0, 40, 0}},
  };
  for (const Case& c : cases) {
    auto v = KsMakeRef<TestPanoView>();
    v->SetLookConstraints(c.constraints);
    v->SetVFOVMin(c.vfovMin);
    v->SetVFOVMax(c.vfovMax);
    ASSERT_EQ(0, v->SetLookDirection(c.set.pan, c.set.tilt, c.set.vfov, c.set.skew));
    const ViewLook r = Requested(*v);
    const ViewLook k = Constrained(*v);
    EXPECT_FLOAT_EQ(c.requested.pan, r.pan) << c.set.pan;
    EXPECT_FLOAT_EQ(c.requested.tilt, r.tilt) << c.set.tilt;
    EXPECT_FLOAT_EQ(c.requested.vfov, r.vfov) << c.set.vfov;
    EXPECT_FLOAT_EQ(c.requested.skew, r.skew);
    EXPECT_FLOAT_EQ(c.constrained.pan, k.pan);
    EXPECT_FLOAT_EQ(c.constrained.tilt, k.tilt);
    EXPECT_FLOAT_EQ(c.constrained.vfov, k.vfov);
  }
}

TEST_F(PanoViewLook, NarrowOrBrokenDirectionsAreIgnoredWithoutNotice) {
  auto recorder = KsMakeRef<NoticeRecorder>();
  Observe(view, recorder, {PanoView::kPanAngleId, HcView::kNeedsDisplayId});
  const uint64_t generation = view->GetLookGeneration();
  EXPECT_EQ(0, view->SetLookDirection(10, 0, 1.5f, 0));
  EXPECT_EQ(0, view->SetLookDirection(NAN, 0, 60, 0));
  EXPECT_EQ(0, view->SetLookDirection(10, INFINITY, 60, 0));
  EXPECT_EQ(0.0f, Requested(*view).pan);
  EXPECT_TRUE(recorder->ids.empty());
  EXPECT_EQ(generation, view->GetLookGeneration());

  EXPECT_EQ(0, view->SetLookDirection(10, 0, 60, 0));
  EXPECT_EQ(1, recorder->Count(PanoView::kPanAngleId));
  EXPECT_EQ(1, recorder->Count(HcView::kNeedsDisplayId));
  EXPECT_EQ(generation + 1, view->GetLookGeneration());
  view->SetFrame({0, 0, 640, 480});
  EXPECT_EQ(generation + 2, view->GetLookGeneration());
}

TEST_F(PanoViewLook, PropertiesAndChangesGoThroughTheLookDirection) {
  view->SetPanAngle(20);
  EXPECT_EQ(0, view->ChangeLookDirection(350, 0, 0, 0));
  EXPECT_FLOAT_EQ(10.0f, view->GetPanAngle());
  KsRef<HcProperty> tilt = view->GetClassObject()->FindProperty("TiltAngle");
  ASSERT_TRUE(tilt);
  ASSERT_EQ(0, tilt->SetValue(view.Get(), -30.0f));
  EXPECT_FLOAT_EQ(-30.0f, Constrained(*view).tilt);
  EXPECT_FLOAT_EQ(10.0f, view->GetPanAngle());
}

TEST_F(PanoViewLook, FocalLengthFollowsTheFieldOfView) {
  view->SetFocalLength35mm(24);
  EXPECT_NEAR(53.130102f, view->GetVFOV(), 1e-4);
  EXPECT_NEAR(24.0f, view->GetFocalLength35mm(), 1e-3);
  view->SetVFOVMax(200);
  view->SetFocalLength35mm(0);
  EXPECT_FLOAT_EQ(180.0f, view->GetVFOV());
  // A negative focal length ends at the largest field allowed.
  view->SetFocalLength35mm(-10);
  EXPECT_FLOAT_EQ(200.0f, view->GetVFOV());
}

// A projection whose pan constraint is narrower than the circle keeps the
// whole horizontal field of view inside it: the view's centre stays half
// the field (converted from the vertical one in radians) from each limit.
TEST_F(PanoViewLook, PanLimitsKeepTheWholeFieldInside) {
  auto projection = KsMakeRef<EquirectangularProj>();
  projection->SetConstraintPanMin(100.0f);
  projection->SetConstraintPanMax(200.0f);
  auto source = KsMakeRef<StubSource>();
  source->SetProjection(projection);
  view->SetSource(source);
  view->SetFrame({0, 0, 400, 300});
  const float halfH = std::atan(std::tan(30.0f * 3.14159265f / 180.0f) * 4.0f / 3.0f) * 180.0f / 3.14159265f;
  struct Case {
    float pan, expected;
  } cases[] = {{150, 150}, {90, 100 + halfH}, {110, 100 + halfH}, {199, 200 - halfH}, {300, 200 - halfH},
               {20, 100 + halfH}};
  for (const Case& c : cases) {
    view->SetLookDirection(c.pan, 0, 60, 0);
    EXPECT_NEAR(c.expected, Constrained(*view).pan, 1e-3) << c.pan;
  }
  // A range that passes through 360 degrees.
  projection->SetConstraintPanMin(300.0f);
  projection->SetConstraintPanMax(60.0f);
  view->SetLookDirection(0, 0, 60, 0);
  EXPECT_NEAR(0.0f, Constrained(*view).pan, 1e-3);
  view->SetLookDirection(50, 0, 60, 0);
  EXPECT_NEAR(60 - halfH, Constrained(*view).pan, 1e-3);
  view->SetLookDirection(290, 0, 60, 0);
  EXPECT_NEAR(300 + halfH, Constrained(*view).pan, 1e-3);
  // Without bit 1 the limits stay as they were last taken.
  view->SetLookConstraints(31 & ~1u);
  projection->SetConstraintPanMin(0.0f);
  projection->SetConstraintPanMax(360.0f);
  view->SetLookDirection(50, 0, 60, 0);
  EXPECT_NEAR(60 - halfH, Constrained(*view).pan, 1e-3);
}

TEST_F(PanoViewLook, SourcePanIsAddedWhenAsked) {
  auto source = KsMakeRef<StubSource>();
  source->SetPanAngle(15.0f);
  view->SetSource(source);
  view->SetPanAngle(10);
  EXPECT_FLOAT_EQ(25.0f, view->GetPanAngleWithSourceOffset());
  view->SetLookConstraints(15);
  EXPECT_FLOAT_EQ(10.0f, view->GetPanAngleWithSourceOffset());
}

}  // namespace
