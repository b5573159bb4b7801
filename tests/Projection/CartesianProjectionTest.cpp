#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>

#include "GoldenTable.h"
#include "KsTrace.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"

namespace {

void ExpectGolden(PanoProjection& projection, const GoldenRow& row) {
  SCOPED_TRACE(row.caseName + " pan " + std::to_string(row.panDeg) + " tilt " + std::to_string(row.tiltDeg));
  float x = -99.0f;
  float y = -99.0f;
  EXPECT_EQ(row.valid, projection.GetPointForAngleRad(Radians(row.panDeg), Radians(row.tiltDeg), &x, &y));
  EXPECT_NEAR(row.x, x, kGoldenTolerance);
  EXPECT_NEAR(row.y, y, kGoldenTolerance);
}

void RunGoldenTable(const std::string& file,
                    const std::map<std::string, std::function<KsRef<PanoProjection>()>>& makers) {
  for (const GoldenRow& row : LoadGoldenTable(file)) {
    auto maker = makers.find(row.caseName);
    ASSERT_NE(makers.end(), maker) << row.caseName;
    ExpectGolden(*maker->second(), row);
  }
}

TEST(EquirectangularProj, MatchesTheGoldenTable) {
  RunGoldenTable("equirectangular.csv",
                 {{"default", [] { return KsMakeRef<EquirectangularProj>(); }},
                  {"zero90_limits-45_60", [] {
                     auto p = KsMakeRef<EquirectangularProj>();
                     p->SetZeroPanOffsetDeg(90.0f);
                     p->SetTiltMinDeg(-45.0f);
                     p->SetTiltMaxDeg(60.0f);
                     return p;
                   }}});
}

TEST(CylindricalProj, MatchesTheGoldenTable) {
  RunGoldenTable("cylindrical.csv", {{"default", [] { return KsMakeRef<CylindricalProj>(); }},
                                     {"offset0.1_scale0.5",
                                      [] {
                                        auto p = KsMakeRef<CylindricalProj>();
                                        p->SetVerticalOffset(0.1f);
                                        p->SetVerticalScale(0.5f);
                                        return p;
                                      }},
                                     {"limits-30_60", [] {
                                        auto p = KsMakeRef<CylindricalProj>();
                                        p->SetTiltMinDeg(-30.0f);
                                        p->SetTiltMaxDeg(60.0f);
                                        return p;
                                      }}});
}

TEST(CartesianFuncProj, ConstructedProjectionsAreNamedAndBounded) {
  auto cylinder = KsMakeRef<CylindricalProj>();
  EXPECT_EQ(PWStringRef("Cylindrical"), cylinder->GetName());
  EXPECT_NEAR(-50.0f, cylinder->GetTiltMinDeg(), 1e-4f);
  EXPECT_NEAR(50.0f, cylinder->GetTiltMaxDeg(), 1e-4f);
  EXPECT_EQ(PWStringRef("CartesianFuncProj"), cylinder->GetEditorViewsetType());
  auto sphere = KsMakeRef<EquirectangularProj>();
  EXPECT_EQ(PWStringRef("Spherical"), sphere->GetName());
  EXPECT_NEAR(-90.0f, sphere->GetTiltMinDeg(), 1e-4f);
  EXPECT_NEAR(90.0f, sphere->GetTiltMaxDeg(), 1e-4f);
  EXPECT_EQ(0.0f, sphere->GetPanMinDeg());
  EXPECT_NEAR(360.0f, sphere->GetPanMaxDeg(), 1e-4f);
  EXPECT_FALSE(sphere->GetLockAspect());
  float min = -1.0f;
  float max = -1.0f;
  sphere->GetPanRange(&min, &max);
  EXPECT_EQ(0.0f, min);
  EXPECT_NEAR(360.0f, max, 1e-4f);
}

TEST(EquirectangularProj, TiltLimitsBelowMinus89_9BecomeThePole) {
  struct Case {
    float set;
    float read;
  };
  for (const Case& c : {Case{-95.0f, -90.0f}, Case{-89.95f, -90.0f}, Case{-89.9f, -89.9f}, Case{-45.0f, -45.0f}}) {
    auto p = KsMakeRef<EquirectangularProj>();
    EXPECT_EQ(0, p->SetTiltMinDeg(c.set));
    EXPECT_NEAR(c.read, p->GetTiltMinDeg(), 1e-4f) << c.set;
  }
}

TEST(CartesianFuncProj, VerticalFunctionsOfTheWrongClassAreRefused) {
  auto cylinder = KsMakeRef<CylindricalProj>();
  auto sphere = KsMakeRef<EquirectangularProj>();
  auto cylinderFunc = cylinder->GetVerticalFunc();
  auto sphereFunc = sphere->GetVerticalFunc();
  EXPECT_EQ(-2, cylinder->SetVerticalFunc(KsMakeRef<LinearFunc>()));
  EXPECT_EQ(-2, sphere->SetVerticalFunc(KsMakeRef<CylindricalFunc>()));
  EXPECT_EQ(cylinderFunc, cylinder->GetVerticalFunc());
  EXPECT_EQ(sphereFunc, sphere->GetVerticalFunc());

  // A fresh linear function is reversed: the domain minimum maps to 1.
  auto fresh = KsMakeRef<LinearFunc>();
  EXPECT_EQ(0, sphere->SetVerticalFunc(fresh));
  EXPECT_EQ(1.0f, fresh->GetMinValue());
  EXPECT_EQ(0.0f, fresh->GetMaxValue());
}

TEST(CartesianFuncProj, WithoutAVerticalFunctionNothingMapsAndNothingCrashes) {
  for (KsRef<CartesianFuncProj> p :
       {KsRef<CartesianFuncProj>(KsMakeRef<CylindricalProj>()), KsRef<CartesianFuncProj>(KsMakeRef<EquirectangularProj>())}) {
    const float tiltMin = p->GetTiltMinDeg();
    EXPECT_EQ(0, p->SetVerticalFunc({}));
    float x = 7.0f;
    float y = 7.0f;
    EXPECT_FALSE(p->GetPointForAngleRad(0.0f, 0.0f, &x, &y));
    EXPECT_FALSE(p->GetAngleRadForPoint(0.5f, 0.5f, &x, &y));
    EXPECT_EQ(7.0f, x);
    EXPECT_EQ(7.0f, y);
    EXPECT_EQ(0.5f, p->GetHorizon());
    EXPECT_EQ(1.0f, p->GetVerticalImageRange());
    EXPECT_EQ(KsSizeF{}, p->GetDimensionsForCleanArea(1e6f));
    EXPECT_EQ(KsSizeF{}, p->GetDimensionsForAngularResolutionPPD({4, 4}));
    EXPECT_EQ(KsPointF{}, p->GetAngularResolutionPPD({100, 100}));
    EXPECT_NEAR(tiltMin, p->GetTiltMinDeg(), 1e-4f);
    EXPECT_EQ(-903, p->SetTiltMinDeg(-20.0f));
    EXPECT_EQ(0, p->SetLockAspect(true));
    EXPECT_EQ(-1, p->SetHorizon(0.4f));
    EXPECT_FALSE(p->Compare(KsMakeRef<EquirectangularProj>()));
  }
}

TEST(CartesianFuncProj, PanIsNotWrappedAndTheInverseUndoesOffsetAndScale) {
  auto p = KsMakeRef<EquirectangularProj>();
  float x = 0.0f;
  float y = 0.0f;
  struct Case {
    float pan;
    float x;
  };
  for (const Case& c : {Case{0.0f, 0.0f}, Case{kPi, 0.5f}, Case{2 * kPi, 1.0f}, Case{-kPi / 2, -0.25f}}) {
    EXPECT_TRUE(p->GetPointForAngleRad(c.pan, 0.0f, &x, &y));
    EXPECT_NEAR(c.x, x, 1e-6f);
  }
  // y = (V + offset) * scale: V 0.3 with offset 0.1 and scale 0.5 gives 0.2.
  p->SetVerticalOffset(0.1f);
  p->SetVerticalScale(0.5f);
  const float tiltForV03 = Radians(90.0f - 0.3f * 180.0f);
  EXPECT_TRUE(p->GetPointForAngleRad(0.0f, tiltForV03, &x, &y));
  EXPECT_NEAR(0.2f, y, 1e-6f);
  float pan = 0.0f;
  float tilt = 0.0f;
  EXPECT_TRUE(p->GetAngleRadForPoint(0.25f, 0.2f, &pan, &tilt));
  EXPECT_NEAR(tiltForV03, tilt, 1e-5f);
  EXPECT_NEAR(kPi / 2, pan, 1e-5f);
}

TEST(CartesianFuncProj, TilingsAndQuadrantsFollowTheTable) {
  auto p = KsMakeRef<CylindricalProj>();
  using Tile = PanoProjection::ProjectionTile;
  Tile tiles[PanoProjection::kMaxTiles];
  uint32_t count = 0;
  ASSERT_EQ(0, p->GetTiling(0, tiles, &count));
  ASSERT_EQ(1u, count);
  EXPECT_EQ(15u, tiles[0].QuadrantMask);
  EXPECT_EQ(1u, tiles[0].EdgeMinX);
  EXPECT_EQ(1u, tiles[0].EdgeMaxX);
  EXPECT_EQ(0u, tiles[0].EdgeMinY);
  EXPECT_EQ(0u, tiles[0].EdgeMaxY);
  EXPECT_EQ(KsRectF(0, 0, 1, 1), tiles[0].TileRect);

  ASSERT_EQ(0, p->GetTiling(1, tiles, &count));
  ASSERT_EQ(2u, count);
  struct Expected {
    uint32_t mask, top, right, left, bottom;
    KsRectF rect;
  };
  const Expected expected[] = {{3, 0, 2, 1, 0, {0, 0, 0.5f, 1}}, {12, 0, 1, 2, 0, {0.5f, 0, 0.5f, 1}}};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(expected[i].mask, tiles[i].QuadrantMask);
    EXPECT_EQ(expected[i].top, tiles[i].EdgeMinY);
    EXPECT_EQ(expected[i].right, tiles[i].EdgeMaxX);
    EXPECT_EQ(expected[i].left, tiles[i].EdgeMinX);
    EXPECT_EQ(expected[i].bottom, tiles[i].EdgeMaxY);
    EXPECT_EQ(expected[i].rect, tiles[i].TileRect);
    EXPECT_EQ(KsRectF(0, 0, 1, 1), tiles[i].FullRect);
  }
  EXPECT_EQ(-2, p->GetTiling(2, tiles, &count));
  EXPECT_EQ(-2, p->GetTiling(1, nullptr, &count));

  KsRectF rect;
  EXPECT_EQ(0, p->GetQuadrantRect(4, &rect));
  EXPECT_EQ(KsRectF(0.5f, 0, 0.25f, 1), rect);
  EXPECT_EQ(0, p->GetQuadrantRect(8, &rect));
  EXPECT_EQ(KsRectF(0.75f, 0, 0.25f, 1), rect);
  EXPECT_EQ(-2, p->GetQuadrantRect(3, &rect));
  EXPECT_EQ(-2, p->GetQuadrantRect(1, nullptr));
}

TEST(CartesianFuncProj, SizesFollowTheFunctionSpans) {
  auto p = KsMakeRef<EquirectangularProj>();  // 360 by 180 degrees
  EXPECT_EQ(307200.0f, p->GetCleanArea({640, 480}));
  const KsSizeF size = p->GetDimensionsForCleanArea(2000000.0f);
  EXPECT_NEAR(2000.0f, size.w, 0.01f);
  EXPECT_NEAR(1000.0f, size.h, 0.01f);
  const KsSizeF forPpd = p->GetDimensionsForAngularResolutionPPD({1000.0f, 500.0f});
  EXPECT_NEAR(1000.0f, forPpd.w, 1e-3f);
  EXPECT_NEAR(500.0f, forPpd.h, 1e-3f);
  const KsPointF ppd = p->GetAngularResolutionPPD({1000, 500});
  EXPECT_NEAR(1000.0f, ppd.x, 1e-3f);
  EXPECT_NEAR(500.0f, ppd.y, 1e-3f);

  std::vector<std::string> lines;
  KsTrace::ResetSettings();
  KsTrace::LoadSettings(PWStringRef(), true);
  KsTrace::SetOutputSink([&](const std::string& line) { lines.push_back(line); });
  p->GetVerticalFunc()->SetNominalDomain(0.2f, 0.2f);
  EXPECT_EQ(KsSizeF{}, p->GetDimensionsForCleanArea(2000000.0f));
  KsTrace::SetOutputSink({});
  KsTrace::ResetSettings();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(std::string::npos, lines.back().find("GetDimensionsForCleanArea called with no tilt range!"));
}

TEST(CartesianFuncProj, SeedsMoveOnTheDocumentedChanges) {
  auto p = KsMakeRef<CylindricalProj>();
  const UpdateSeed start = p->GetUpdateSeed();  // folds the new function in
  p->SetPanMaxDeg(360.0f);
  EXPECT_EQ(start.second + 1, p->GetUpdateSeed().second);
  p->SetVerticalFunc(p->GetVerticalFunc());
  EXPECT_EQ(start.first + 1, p->GetUpdateSeed().first);
  // A change of the vertical function shows once, at the next query.
  const UpdateSeed before = p->GetUpdateSeed();
  p->SetTiltMaxDeg(30.0f);
  EXPECT_NEAR(30.0f, p->GetTiltMaxDeg(), 1e-4f);
  EXPECT_EQ(before.first + 1, p->GetUpdateSeed().first);
  EXPECT_EQ(before.first + 1, p->GetUpdateSeed().first);
}

TEST(CartesianFuncProj, HorizonRefitsOnlyWithTheAspectLock) {
  auto p = KsMakeRef<EquirectangularProj>();
  EXPECT_EQ(0.5f, p->GetHorizon());
  EXPECT_EQ(-903, p->SetHorizon(0.4f));
  EXPECT_NEAR(-90.0f, p->GetTiltMinDeg(), 1e-4f);

  // Without the lock the editor limits are the tilt limits.
  EXPECT_EQ(0, p->SetEditorTiltMin(-30.0f));
  EXPECT_NEAR(-30.0f, p->GetTiltMinDeg(), 1e-4f);

  // With the lock and image aspect 4 the vertical span is 2 pi / 4 = 90 degrees.
  p->SetLockAspect(true);
  EXPECT_EQ(0, p->SetImageAspect(4.0f));
  EXPECT_NEAR(-45.0f, p->GetTiltMinDeg(), 1e-3f);
  EXPECT_NEAR(45.0f, p->GetTiltMaxDeg(), 1e-3f);
  EXPECT_EQ(0, p->SetHorizon(0.25f));
  EXPECT_NEAR(-22.5f, p->GetTiltMinDeg(), 1e-3f);
  EXPECT_NEAR(67.5f, p->GetTiltMaxDeg(), 1e-3f);
  EXPECT_NEAR(0.75f, p->GetHorizon(), 1e-6f);
  EXPECT_EQ(0, p->SetEditorTiltMax(60.0f));
  EXPECT_NEAR(-30.0f, p->GetTiltMinDeg(), 1e-3f);

  // Two projections differing only in the stored horizon are unequal.
  auto a = KsMakeRef<EquirectangularProj>();
  auto b = KsMakeRef<EquirectangularProj>();
  EXPECT_TRUE(a->Compare(b));
  b->SetLockAspect(true);
  b->SetHorizon(0.5f);  // refits to 2 pi around the horizon: same function
  a->SetLockAspect(true);
  a->SetHorizon(0.5f);
  EXPECT_TRUE(a->Compare(b));
  b->SetHorizon(0.4f);
  b->GetVerticalFunc()->SetNominalDomain(a->GetVerticalFunc()->GetDomainMin(), a->GetVerticalFunc()->GetDomainMax());
  EXPECT_FALSE(a->Compare(b));
  EXPECT_FALSE(a->Compare(KsMakeRef<CylindricalProj>()));
}

}  // namespace

namespace {

TEST(CartesianFuncProj, ProjectionsKeepingTheirTiltRangeInAFunctionEqualTheirTwins) {
  // Their tilt range lives in the vertical function, not in the stored base range.
  auto makeCylinder = [] {
    auto p = KsMakeRef<CylindricalProj>();
    p->SetTiltMinDeg(-35.0f);
    return p;
  };
  auto makeSphere = [] {
    auto p = KsMakeRef<EquirectangularProj>();
    p->SetTiltMinDeg(-60.0f);
    return p;
  };
  auto cylinder = makeCylinder();
  EXPECT_TRUE(cylinder->Compare(cylinder));
  EXPECT_TRUE(cylinder->Compare(makeCylinder()));
  auto sphere = makeSphere();
  EXPECT_TRUE(sphere->Compare(sphere));
  EXPECT_TRUE(sphere->Compare(makeSphere()));
  auto other = makeSphere();
  other->SetTiltMaxDeg(80.0f);
  EXPECT_FALSE(sphere->Compare(other));
}

}  // namespace
