#include <gtest/gtest.h>

#include "Projection/CubicProjection.h"
#include "Projection/PlanarProjection.h"

namespace {

TEST(CubicProjection, TheThreeByTwoLayout) {
  KsRef<CubicProjection> p;
  CubicProjection::Create3By2CubicProjection(p);
  ASSERT_TRUE(p);
  EXPECT_EQ(1.5f, p->GetImageAspect());
  EXPECT_EQ(3u, p->GetFacesWide());
  EXPECT_EQ(2u, p->GetFacesHigh());
  auto faces = p->GetCubeFaceConfiguration();
  ASSERT_TRUE(faces);
  struct Face {
    float pan, tilt;
    uint32_t column, row;
  };
  const Face expected[] = {{0, 0, 0, 1}, {90, 0, 1, 1}, {180, 0, 2, 1}, {270, 0, 0, 0}, {0, 90, 1, 0}, {0, -90, 2, 0}};
  ASSERT_EQ(6u, faces->GetCount());
  for (uint32_t i = 0; i < 6; ++i) {
    KsRef<CubeFace> face = faces->GetByIndex(i);
    ASSERT_TRUE(face);
    EXPECT_EQ(expected[i].pan, face->GetPanCenterDeg()) << i;
    EXPECT_EQ(expected[i].tilt, face->GetTiltCenterDeg()) << i;
    EXPECT_EQ(expected[i].column, face->GetFacePositionX()) << i;
    EXPECT_EQ(expected[i].row, face->GetFacePositionY()) << i;
  }
  EXPECT_NE(0, faces->AddObject(KsMakeRef<PlanarProjection>()));
  EXPECT_EQ(6u, faces->GetCount());
}

TEST(CubicProjection, SizesAreInWholeFacesOfAMultipleOfEightPixels) {
  KsRef<CubicProjection> p;
  CubicProjection::Create3By2CubicProjection(p);
  struct PpdCase {
    float ppd;
    KsSizeF size;
  };
  for (const PpdCase& c : {PpdCase{8, {2160, 1440}}, PpdCase{10, {2712, 1808}}, PpdCase{5, {1344, 896}}}) {
    EXPECT_EQ(c.size, p->GetDimensionsForAngularResolutionPPD({c.ppd, c.ppd})) << c.ppd;
  }
  EXPECT_EQ((KsSizeF{1224, 816}), p->GetDimensionsForCleanArea(1000000.0f));
  EXPECT_EQ((KsPointF{8, 8}), p->GetAngularResolutionPPD({2160, 1440}));
  EXPECT_EQ((KsPointF{8, 8}), p->GetAngularResolutionPPD({2161, 1441}));
  EXPECT_EQ(3110400.0f, p->GetCleanArea({2160, 1440}));
  EXPECT_EQ(KsSizeF{}, p->GetDimensionsForCleanArea(-5.0f));
}

TEST(CubicProjection, ANewProjectionHasNoFacesAndAnswersZeroSizes) {
  auto p = KsMakeRef<CubicProjection>();
  EXPECT_EQ(0u, p->GetFacesWide());
  EXPECT_EQ(0u, p->GetFacesHigh());
  EXPECT_FALSE(p->GetCubeFaceConfiguration());
  EXPECT_EQ(KsPointF{}, p->GetAngularResolutionPPD({2160, 1440}));
  EXPECT_EQ(0.0f, p->GetCleanArea({2160, 1440}));
  EXPECT_EQ(KsSizeF{}, p->GetDimensionsForCleanArea(1000000.0f));
  float x = 3.0f;
  float y = 3.0f;
  EXPECT_FALSE(p->GetPointForAngleRad(0.0f, 0.0f, &x, &y));
  EXPECT_FALSE(p->GetAngleRadForPoint(0.5f, 0.5f, &x, &y));
  EXPECT_EQ(3.0f, x);

  auto face = KsMakeRef<CubeFace>();
  EXPECT_EQ(0.0f, face->GetPanCenterDeg());
  EXPECT_EQ(0u, face->GetFacePositionX());
}

}  // namespace
