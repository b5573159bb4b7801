#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "GoldenTable.h"
#include "Projection/KestrelProj.h"
#include "Projection/LinearFunc.h"
#include "Projection/RadialFuncProj.h"

namespace {

// Radius linear in the tilt: -90 degrees at the centre, +30 at the edge.
KsRef<LinearFunc> MakeLinearRadius() {
  auto f = KsMakeRef<LinearFunc>();
  f->SetAngleMinDeg(-90.0f);
  f->SetAngleMaxDeg(30.0f);
  return f;
}

// The ring of the golden table radial_linear.csv.
KsRef<RadialFuncProj> MakeGoldenRing(bool mirror, bool inverted) {
  auto p = KsMakeRef<RadialFuncProj>();
  p->SetRadialFunc(MakeLinearRadius());
  p->SetCenterPoint({0.52f, 0.48f});
  p->SetRadiusV(0.45f);
  p->SetAspect(1.2f);
  p->SetImageAspect(1.5f);
  p->SetZeroPanOffsetDeg(30.0f);
  p->SetIsMirror(mirror);
  p->SetIsInverted(inverted);
  return p;
}

TEST(RadialFuncProj, MatchesTheGoldenTableInAllFourMirrorAndInvertCombinations) {
  int rows = 0;
  for (const GoldenRow& row : LoadGoldenTable("radial_linear.csv")) {
    const bool mirror = row.caseName.find("mirror1") != std::string::npos;
    const bool inverted = row.caseName.find("inverted1") != std::string::npos;
    auto p = MakeGoldenRing(mirror, inverted);
    SCOPED_TRACE(row.caseName + " pan " + std::to_string(row.panDeg) + " tilt " + std::to_string(row.tiltDeg));
    float x = -99.0f;
    float y = -99.0f;
    EXPECT_EQ(row.valid, p->GetPointForAngleRad(Radians(row.panDeg), Radians(row.tiltDeg), &x, &y));
    EXPECT_NEAR(row.x, x, kGoldenTolerance);
    EXPECT_NEAR(row.y, y, kGoldenTolerance);
    ++rows;
  }
  EXPECT_EQ(100, rows);
}

TEST(KestrelProj, MatchesTheGoldenTable) {
  auto p = KsMakeRef<KestrelProj>();
  for (const GoldenRow& row : LoadGoldenTable("kestrel.csv")) {
    SCOPED_TRACE("pan " + std::to_string(row.panDeg) + " tilt " + std::to_string(row.tiltDeg));
    float x = -99.0f;
    float y = -99.0f;
    EXPECT_EQ(row.valid, p->GetPointForAngleRad(Radians(row.panDeg), Radians(row.tiltDeg), &x, &y));
    // The optic's coefficients are accumulated in single precision.
    EXPECT_NEAR(row.x, x, 2e-5f);
    EXPECT_NEAR(row.y, y, 2e-5f);
  }
}

TEST(RadialFuncProj, UnitRadiusOnAMirroredRingMapsBothWays) {
  // A function whose value is 1 at tilt T: the default linear function at T = 1 rad.
  auto p = KsMakeRef<RadialFuncProj>();
  p->SetRadialFunc(KsMakeRef<LinearFunc>());
  const float tilt = 1.0f;
  float x = 0.0f;
  float y = 0.0f;
  ASSERT_TRUE(p->GetPointForAngleRad(0.0f, tilt, &x, &y));
  EXPECT_NEAR(0.5f, x, 1e-6f);
  EXPECT_NEAR(1.0f, y, 1e-6f);
  ASSERT_TRUE(p->GetPointForAngleRad(kPi / 3, tilt, &x, &y));
  EXPECT_NEAR(0.5f + 0.25f * std::sqrt(3.0f), x, 1e-6f);
  EXPECT_NEAR(0.75f, y, 1e-6f);
  float pan = 0.0f;
  float back = 0.0f;
  ASSERT_TRUE(p->GetAngleRadForPoint(x, y, &pan, &back));
  EXPECT_NEAR(kPi / 3, pan, 1e-5f);
  EXPECT_NEAR(tilt, back, 1e-5f);
}

TEST(RadialFuncProj, PointsLevelWithTheCentreKeepTheirRadius) {
  // At pan 90 and 270 degrees the point lies level with the centre (dy = 0).
  auto p = MakeGoldenRing(true, false);
  for (float panDeg : {90.0f, 270.0f}) {
    for (float tiltDeg : {-60.0f, 0.0f, 25.0f}) {
      float x = 0.0f;
      float y = 0.0f;
      const float panRad = Radians(panDeg + 30.0f);  // past the zero-pan offset
      ASSERT_TRUE(p->GetPointForAngleRad(panRad, Radians(tiltDeg), &x, &y));
      float pan = 0.0f;
      float tilt = 0.0f;
      ASSERT_TRUE(p->GetAngleRadForPoint(x, 0.48f, &pan, &tilt));
      EXPECT_NEAR(Radians(tiltDeg), tilt, 2e-5f) << panDeg << " " << tiltDeg;
      EXPECT_NEAR(panRad, pan, 2e-5f);
    }
  }
}

TEST(RadialFuncProj, WithoutARadialFunctionNothingMaps) {
  auto p = KsMakeRef<RadialFuncProj>();
  float x = 7.0f;
  float y = 7.0f;
  EXPECT_FALSE(p->GetPointForAngleRad(0.0f, 0.0f, &x, &y));
  EXPECT_FALSE(p->GetAngleRadForPoint(0.5f, 0.7f, &x, &y));
  EXPECT_EQ(7.0f, x);
  KsRectF region;
  EXPECT_EQ(-903, p->GetRegionOfInterest(&region));
  PanoProjection::ProjectionTile tiles[PanoProjection::kMaxTiles];
  uint32_t count = 0;
  EXPECT_EQ(-903, p->GetTiling(0, tiles, &count));
  EXPECT_EQ(-50.0f, p->GetInnerTiltDeg());
  EXPECT_EQ(50.0f, p->GetOuterTiltDeg());
  EXPECT_EQ(KsPointF{}, p->GetAngularResolutionPPD({1000, 1000}));
  EXPECT_EQ(KsSizeF{}, p->GetDimensionsForAngularResolutionPPD({5, 5}));
  EXPECT_FALSE(p->Compare(MakeGoldenRing(true, false)));
  EXPECT_TRUE(p->Compare(KsMakeRef<RadialFuncProj>()));
}

TEST(RadialFuncProj, RegionOfInterestIsTheRingsBoundingBox) {
  auto p = KsMakeRef<RadialFuncProj>();
  p->SetRadialFunc(KsMakeRef<LinearFunc>());
  p->SetImageAspect(2.0f);
  KsRectF region;
  ASSERT_EQ(0, p->GetRegionOfInterest(&region));
  EXPECT_EQ(KsRectF(0.25f, 0.0f, 0.5f, 1.0f), region);
  EXPECT_EQ(-2, p->GetRegionOfInterest(nullptr));
}

TEST(RadialFuncProj, TilingsCutTheRegionAndFollowTheRingsSense) {
  using Tile = PanoProjection::ProjectionTile;
  struct Expected {
    uint32_t maskNoFlip, maskFlip;
    KsRectF rect;
    uint32_t top, right, left, bottom;
  };
  const float x = 0.25f, y = 0.0f, w = 0.5f, h = 1.0f;  // the region at image aspect 2
  const std::vector<std::vector<Expected>> tilings = {
      {{6, 6, {x, y, w, h / 2}, 0, 0, 0, 2}, {9, 9, {x, y + h / 2, w, h / 2}, 2, 0, 0, 0}},
      {{3, 12, {x, y, w / 2, h}, 0, 2, 0, 0}, {12, 3, {x + w / 2, y, w / 2, h}, 0, 0, 2, 0}},
      {{2, 4, {x, y, w / 2, h / 2}, 0, 2, 0, 2},
       {4, 2, {x + w / 2, y, w / 2, h / 2}, 0, 0, 2, 2},
       {8, 1, {x + w / 2, y + h / 2, w / 2, h / 2}, 2, 0, 2, 0},
       {1, 8, {x, y + h / 2, w / 2, h / 2}, 2, 2, 0, 0}},
  };
  // flip is true exactly when IsMirror differs from IsInverted.
  for (bool mirror : {false, true}) {
    for (bool inverted : {false, true}) {
      const bool flip = mirror != inverted;
      auto p = KsMakeRef<RadialFuncProj>();
      p->SetRadialFunc(KsMakeRef<LinearFunc>());
      p->SetImageAspect(2.0f);
      p->SetIsMirror(mirror);
      p->SetIsInverted(inverted);
      for (uint32_t index = 1; index <= 3; ++index) {
        SCOPED_TRACE(std::to_string(index) + (mirror ? " mirror" : "") + (inverted ? " inverted" : ""));
        Tile tiles[PanoProjection::kMaxTiles];
        uint32_t count = 0;
        ASSERT_EQ(0, p->GetTiling(index, tiles, &count));
        const auto& expected = tilings[index - 1];
        ASSERT_EQ(expected.size(), count);
        uint32_t union_ = 0;
        for (uint32_t i = 0; i < count; ++i) {
          EXPECT_EQ(flip ? expected[i].maskFlip : expected[i].maskNoFlip, tiles[i].QuadrantMask) << i;
          EXPECT_EQ(expected[i].rect, tiles[i].TileRect) << i;
          EXPECT_EQ(KsRectF(x, y, w, h), tiles[i].FullRect);
          EXPECT_EQ(expected[i].top, tiles[i].EdgeMinY) << i;
          EXPECT_EQ(expected[i].right, tiles[i].EdgeMaxX) << i;
          EXPECT_EQ(expected[i].left, tiles[i].EdgeMinX) << i;
          EXPECT_EQ(expected[i].bottom, tiles[i].EdgeMaxY) << i;
          EXPECT_EQ(0u, union_ & tiles[i].QuadrantMask);
          union_ |= tiles[i].QuadrantMask;
        }
        EXPECT_EQ(15u, union_);
      }
      Tile tiles[PanoProjection::kMaxTiles];
      uint32_t count = 0;
      ASSERT_EQ(0, p->GetTiling(0, tiles, &count));
      EXPECT_EQ(1u, count);
      EXPECT_EQ(15u, tiles[0].QuadrantMask);
      EXPECT_EQ(-2, p->GetTiling(4, tiles, &count));
    }
  }
}

TEST(RadialFuncProj, TilesServeTheQuadrantsTheirPointsMapTo) {
  // The quadrant mask of the tile a direction falls in names that direction's quadrant.
  for (bool mirror : {false, true}) {
    auto p = MakeGoldenRing(mirror, false);
    p->SetZeroPanOffsetDeg(0.0f);
    PanoProjection::ProjectionTile tiles[PanoProjection::kMaxTiles];
    uint32_t count = 0;
    ASSERT_EQ(0, p->GetTiling(3, tiles, &count));
    for (float panDeg : {45.0f, 135.0f, 225.0f, 315.0f}) {
      float px = 0.0f;
      float py = 0.0f;
      ASSERT_TRUE(p->GetPointForAngleRad(Radians(panDeg), 0.0f, &px, &py));
      const uint32_t quadrant = 1u << static_cast<int>(panDeg / 90.0f);
      int found = 0;
      for (uint32_t i = 0; i < count; ++i) {
        if (tiles[i].TileRect.Contains({px, py})) {
          EXPECT_EQ(quadrant, tiles[i].QuadrantMask) << panDeg << (mirror ? " mirror" : "");
          ++found;
        }
      }
      EXPECT_EQ(1, found);
    }
  }
}

TEST(RadialFuncProj, InvertingTheOpticTurnsTheTiltRangeOver) {
  auto p = KsMakeRef<RadialFuncProj>();
  p->SetTiltMinDeg(-80.0f);
  p->SetTiltMaxDeg(40.0f);
  EXPECT_EQ(0, p->SetIsInvertedUI(true));
  EXPECT_TRUE(p->GetIsInverted());
  EXPECT_EQ(-40.0f, p->GetTiltMinDeg());
  EXPECT_EQ(80.0f, p->GetTiltMaxDeg());
  EXPECT_EQ(0, p->SetIsInvertedUI(true));
  EXPECT_TRUE(p->GetIsInvertedUI());
  EXPECT_EQ(-80.0f, p->GetTiltMinDeg());
  EXPECT_EQ(40.0f, p->GetTiltMaxDeg());

  // Inner and outer tilts follow the function's radius at the limits.
  p->SetIsInverted(false);
  p->SetRadialFunc(MakeLinearRadius());
  EXPECT_EQ(-80.0f, p->GetInnerTiltDeg());
  EXPECT_EQ(40.0f, p->GetOuterTiltDeg());
  p->SetIsInverted(true);
  EXPECT_EQ(40.0f, p->GetInnerTiltDeg());
  EXPECT_EQ(-80.0f, p->GetOuterTiltDeg());
}

TEST(RadialFuncProj, SettersMoveTheirCounters) {
  auto p = KsMakeRef<RadialFuncProj>();
  UpdateSeed seed = p->GetUpdateSeed();
  p->SetCenterX(0.4f);
  EXPECT_EQ(0.5f, p->GetCenterY());
  EXPECT_EQ(0.4f, p->GetCenterPoint().x);
  EXPECT_EQ(seed.second + 1, p->GetUpdateSeed().second);
  seed = p->GetUpdateSeed();
  auto f = MakeLinearRadius();
  p->SetRadialFunc(f);                                     // +1, then the new function's seed folds in: +1
  EXPECT_EQ(seed.first + 2, p->GetUpdateSeed().first);
  f->SetAngleMaxDeg(40.0f);
  EXPECT_EQ(seed.first + 3, p->GetUpdateSeed().first);
  EXPECT_EQ(seed.first + 3, p->GetUpdateSeed().first);
  p->SetAspect(1.0f);
  p->SetRadiusV(0.5f);
  p->SetIsMirror(true);
  EXPECT_EQ(seed.first + 6, p->GetUpdateSeed().first);
}

TEST(RadialFuncProj, SizesOfTheRing) {
  auto p = MakeGoldenRing(true, false);
  const float area = p->GetCleanArea({1500, 1000});
  EXPECT_NEAR(std::numbers::pi * 450.0 * 540.0, area, 1.0);
  const KsSizeF size = p->GetDimensionsForCleanArea(area);
  EXPECT_NEAR(2 * 0.45f * 1000.0f, size.h, 0.01f);
  EXPECT_NEAR(size.h * 1.2f, size.w, 0.01f);

  const KsPointF ppd = p->GetAngularResolutionPPD({1500, 1000});
  EXPECT_NEAR(std::numbers::pi * 0.5 * 1000 * 0.45 * 2.2 / 360.0, ppd.x, 1e-3);
  EXPECT_NEAR(1000.0f, ppd.y, 1e-2f);  // the radius spans 0 to 1 over the domain
  // Tilt range -50..50 covers radius (40/120)..(140/120) of the ring: 100 degrees over 5/6.
  const KsSizeF forPpd = p->GetDimensionsForAngularResolutionPPD({2.0f, 0.0f});
  EXPECT_NEAR(2.0f * 100.0f / (100.0f / 120.0f), forPpd.h, 1e-2f);
  EXPECT_NEAR(forPpd.h * 1.2f, forPpd.w, 1e-2f);
}

TEST(KestrelProj, IsTheOpticWithItsDefaultsAndRefusesShortApexDistances) {
  auto p = KsMakeRef<KestrelProj>();
  EXPECT_EQ(PWStringRef("Kestrel Optic"), p->GetName());
  EXPECT_EQ(170.0f, p->GetApexDistance());
  EXPECT_NEAR(-80.0f, p->GetAngleCenterDeg(), 1e-4f);
  EXPECT_NEAR(52.27f, p->GetAngleEdgeDeg(), 0.01f);
  EXPECT_EQ(PWStringRef("RadialFuncProj"), p->GetEditorViewsetType());

  const UpdateSeed seed = p->GetUpdateSeed();
  EXPECT_EQ(-2, p->SetApexDistance(9.99f));
  EXPECT_EQ(seed, p->GetUpdateSeed());
  EXPECT_EQ(0, p->SetApexDistance(100.0f));
  EXPECT_NEAR(55.9f, p->GetAngleEdgeDeg(), 0.05f);
  EXPECT_EQ(seed.first + 1, p->GetUpdateSeed().first);

  auto other = KsMakeRef<KestrelProj>();
  EXPECT_FALSE(p->Compare(other));
  other->SetApexDistance(100.0f);
  EXPECT_TRUE(p->Compare(other));
  auto plain = KsMakeRef<RadialFuncProj>();
  plain->SetRadialFunc(other->GetRadialFunc());
  EXPECT_FALSE(p->Compare(plain));

  // After its function was replaced the optic properties read 0 and refuse writes.
  p->SetRadialFunc(MakeLinearRadius());
  EXPECT_EQ(0.0f, p->GetApexDistance());
  EXPECT_EQ(-903, p->SetApexDistance(150.0f));
}

}  // namespace
