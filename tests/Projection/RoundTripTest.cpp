#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "GoldenTable.h"
#include "Projection/CubicProjection.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/LinearFunc.h"
#include "Projection/PlanarProjection.h"
#include "Projection/RadialFuncProj.h"

namespace {

constexpr float kTwoPi = static_cast<float>(2 * std::numbers::pi);

struct Sweep {
  std::string name;
  std::function<KsRef<PanoProjection>()> make;
  float tiltMinDeg;
  float tiltMaxDeg;
  bool panWrapsToZero;  // ring projections answer pans in [0, 2 pi)
};

KsRef<PanoProjection> MakeOffsetRing(bool mirror, bool inverted) {
  auto f = KsMakeRef<LinearFunc>();
  f->SetAngleMinDeg(-90.0f);
  f->SetAngleMaxDeg(30.0f);
  auto p = KsMakeRef<RadialFuncProj>();
  p->SetRadialFunc(f);
  p->SetCenterPoint({0.47f, 0.53f});
  p->SetRadiusV(0.4f);
  p->SetAspect(1.1f);
  p->SetImageAspect(1.333f);
  p->SetZeroPanOffsetDeg(-20.0f);
  p->SetIsMirror(mirror);
  p->SetIsInverted(inverted);
  return p;
}

std::vector<Sweep> Sweeps() {
  return {
      {"equirectangular", [] { return KsMakeRef<EquirectangularProj>(); }, -89.0f, 89.0f, false},
      {"equirectangular, offset and scale",
       [] {
         auto p = KsMakeRef<EquirectangularProj>();
         p->SetVerticalOffset(0.2f);
         p->SetVerticalScale(0.7f);
         p->SetZeroPanOffsetDeg(45.0f);
         return p;
       },
       -89.0f, 89.0f, false},
      {"cylindrical", [] { return KsMakeRef<CylindricalProj>(); }, -50.0f, 50.0f, false},
      {"ring, mirrored", [] { return MakeOffsetRing(true, false); }, -85.0f, 30.0f, true},
      {"ring, plain", [] { return MakeOffsetRing(false, false); }, -85.0f, 30.0f, true},
      {"ring, inverted", [] { return MakeOffsetRing(false, true); }, -30.0f, 85.0f, true},
      {"ring, mirrored and inverted", [] { return MakeOffsetRing(true, true); }, -30.0f, 85.0f, true},
      {"optic", [] { return KsMakeRef<KestrelProj>(); }, -79.0f, 52.0f, true},
  };
}

TEST(ProjectionRoundTrip, DirectionToPointToDirectionOverTheValidRange) {
  for (const Sweep& sweep : Sweeps()) {
    SCOPED_TRACE(sweep.name);
    KsRef<PanoProjection> p = sweep.make();
    int checked = 0;
    for (float panDeg = 1.0f; panDeg < 360.0f; panDeg += 7.0f) {
      for (float tiltDeg = sweep.tiltMinDeg; tiltDeg <= sweep.tiltMaxDeg; tiltDeg += 3.0f) {
        const float pan = Radians(panDeg);
        const float tilt = Radians(tiltDeg);
        float x = 0.0f;
        float y = 0.0f;
        ASSERT_TRUE(p->GetPointForAngleRad(pan, tilt, &x, &y)) << panDeg << " " << tiltDeg;
        float panBack = 0.0f;
        float tiltBack = 0.0f;
        ASSERT_TRUE(p->GetAngleRadForPoint(x, y, &panBack, &tiltBack)) << panDeg << " " << tiltDeg;
        float panError = std::fabs(panBack - pan);
        if (sweep.panWrapsToZero) panError = std::min(panError, std::fabs(kTwoPi - panError));
        EXPECT_LT(panError, 1e-4f) << panDeg << " " << tiltDeg;
        EXPECT_NEAR(tilt, tiltBack, 1e-4f) << panDeg << " " << tiltDeg;
        ++checked;
      }
    }
    EXPECT_GT(checked, 300);
  }
}

TEST(ProjectionRoundTrip, NonFiniteInputsAnswerFalseAndWriteNothing) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  std::vector<std::function<KsRef<PanoProjection>()>> makers;
  for (const Sweep& sweep : Sweeps()) makers.push_back(sweep.make);
  makers.push_back([] { return KsMakeRef<PlanarProjection>(); });
  makers.push_back([] {
    KsRef<CubicProjection> cube;
    CubicProjection::Create3By2CubicProjection(cube);
    return cube;
  });
  const std::pair<float, float> inputs[] = {{kNaN, 0.1f}, {0.1f, kNaN}, {kInf, 0.1f}, {0.1f, -kInf}, {kNaN, kNaN}};
  for (const auto& make : makers) {
    KsRef<PanoProjection> p = make();
    SCOPED_TRACE(p->GetClassObject()->GetName().Str());
    for (const auto& [a, b] : inputs) {
      float first = 42.0f;
      float second = 42.0f;
      EXPECT_FALSE(p->GetPointForAngleRad(a, b, &first, &second));
      EXPECT_FALSE(p->GetAngleRadForPoint(a, b, &first, &second));
      EXPECT_EQ(42.0f, first);
      EXPECT_EQ(42.0f, second);
    }
  }
}

}  // namespace
