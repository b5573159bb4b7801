#include <gtest/gtest.h>

#include "General/HcClassMap.h"
#include "Projection/CylindricalProj.h"
#include "Projection/PlanarProjection.h"
#include "Projection/ProjectionCollection.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcProperty.h"

namespace {

float ReadFloat(KsObject& object, const char* name) {
  KsRef<HcProperty> property = object.GetClassObject()->FindProperty(name);
  EXPECT_TRUE(property) << name;
  float value = -12345.0f;
  if (property) {
    EXPECT_EQ(0, property->GetValue(&object, &value)) << name;
  }
  return value;
}

TEST(PanoProjection, NewProjectionHasTheDocumentedDefaults) {
  auto p = KsMakeRef<PlanarProjection>();
  EXPECT_EQ(-50.0f, ReadFloat(*p, "TiltMinDeg"));
  EXPECT_EQ(50.0f, ReadFloat(*p, "TiltMaxDeg"));
  EXPECT_EQ(0.0f, ReadFloat(*p, "ZeroPanOffsetDeg"));
  EXPECT_EQ(1.0f, ReadFloat(*p, "ImageAspect"));
  EXPECT_EQ(0.0f, ReadFloat(*p, "ConstraintPanMin"));
  EXPECT_EQ(360.0f, ReadFloat(*p, "ConstraintPanMax"));
  EXPECT_EQ(-50.0f, ReadFloat(*p, "ConstraintTiltMin"));  // clamped from the stored -90
  EXPECT_EQ(50.0f, ReadFloat(*p, "ConstraintTiltMax"));
  EXPECT_EQ(1u, p->GetTilingCount());
  EXPECT_EQ((UpdateSeed{1, 1}), p->GetUpdateSeed());
  EXPECT_EQ(PWStringRef("PlanarProjection"), p->GetEditorViewsetType());
}

TEST(PanoProjection, SettersMoveTheSeedAsDocumented) {
  auto p = KsMakeRef<PlanarProjection>();
  p->SetTiltMinDeg(-50.0f);  // same value still counts
  EXPECT_EQ(2u, p->GetUpdateSeed().first);
  p->SetImageAspect(1.0f);  // same value does not
  EXPECT_EQ(2u, p->GetUpdateSeed().first);
  p->SetImageAspect(2.0f);
  p->SetZeroPanOffsetDeg(90.0f);
  p->SetConstraintPanMin(10.0f);
  p->SetConstraintTiltMax(10.0f);
  EXPECT_EQ(6u, p->GetUpdateSeed().first);
  EXPECT_EQ(1u, p->GetUpdateSeed().second);
  EXPECT_EQ(1.5707964f, p->GetZeroPanOffsetRad());
  EXPECT_NEAR(90.0f, p->GetZeroPanOffsetDeg(), 1e-5f);
  p->SetEditorViewsetType("Other");
  EXPECT_EQ(6u, p->GetUpdateSeed().first);
}

TEST(PanoProjection, TiltConstraintsAreClampedToTheTiltRange) {
  auto p = KsMakeRef<PlanarProjection>();
  p->SetConstraintTiltMin(-10.0f);
  EXPECT_EQ(-10.0f, p->GetConstraintTiltMin());
  p->SetConstraintTiltMin(-80.0f);
  EXPECT_EQ(-50.0f, p->GetConstraintTiltMin());
  p->SetConstraintTiltMax(80.0f);
  EXPECT_EQ(50.0f, p->GetConstraintTiltMax());
  float min = 0.0f;
  float max = 0.0f;
  EXPECT_EQ(0, p->GetTiltRange(&min, &max));
  EXPECT_EQ(-50.0f, min);
  EXPECT_EQ(50.0f, max);
}

TEST(PanoProjection, BaseTilingIsOneTileOverTheWholeImage) {
  auto p = KsMakeRef<PlanarProjection>();
  PanoProjection::ProjectionTile tiles[PanoProjection::kMaxTiles];
  uint32_t count = 99;
  EXPECT_EQ(-2, p->GetTiling(1, tiles, &count));
  EXPECT_EQ(99u, count);
  EXPECT_EQ(0, p->GetTiling(0, tiles, &count));
  EXPECT_EQ(1u, count);
  EXPECT_EQ(15u, tiles[0].QuadrantMask);
  EXPECT_EQ(KsRectF(0, 0, 1, 1), tiles[0].TileRect);
  EXPECT_EQ(KsRectF(0, 0, 1, 1), tiles[0].FullRect);
  EXPECT_EQ(-2, p->GetRegionOfInterest(nullptr));

  float max = 0.0f;
  p->GetPanRange(nullptr, &max);
  EXPECT_EQ(360.0f, max);
}

TEST(PlanarProjection, MapsNothingAndEqualsOnlyPlanarProjections) {
  auto p = KsMakeRef<PlanarProjection>();
  float x = 7.0f;
  float y = 7.0f;
  EXPECT_FALSE(p->GetPointForAngleRad(0.0f, 0.0f, &x, &y));
  EXPECT_FALSE(p->GetAngleRadForPoint(0.5f, 0.5f, &x, &y));
  EXPECT_EQ(7.0f, x);
  EXPECT_EQ(KsSizeF{}, p->GetDimensionsForCleanArea(1000.0f));
  EXPECT_EQ(KsSizeF{}, p->GetDimensionsForAngularResolutionPPD({5, 5}));
  EXPECT_EQ(KsPointF{}, p->GetAngularResolutionPPD({640, 480}));
  EXPECT_EQ(0.0f, p->GetCleanAreaForWidthHeight(640, 480));

  auto other = KsMakeRef<PlanarProjection>();
  other->SetConstraintPanMax(90.0f);  // constraints are not compared
  EXPECT_TRUE(p->Compare(other));
  other->SetZeroPanOffsetDeg(90.0f);
  EXPECT_FALSE(p->Compare(other));
  p->SetZeroPanOffsetDeg(90.0f);
  EXPECT_TRUE(p->Compare(other));

  // A cylindrical projection with the same base values is still unequal.
  auto cylinder = KsMakeRef<CylindricalProj>();
  auto planar = KsMakeRef<PlanarProjection>();
  EXPECT_EQ(planar->GetTiltMinDeg(), cylinder->GetTiltMinDeg());
  EXPECT_FALSE(planar->Compare(cylinder));
  EXPECT_FALSE(cylinder->Compare(planar));
}

TEST(PanoProjection, PropertyTableSerialisesTheMappingParametersOnly) {
  auto classObject = PlanarProjection::ClassGetClassObject();
  struct Case {
    const char* name;
    bool serialised;
    bool canSet;
  };
  for (const Case& c : {Case{"EditorViewsetType", true, true}, Case{"TiltMinDeg", true, true},
                        Case{"ZeroPanOffsetDeg", true, true}, Case{"TilingCount", false, false},
                        Case{"ImageAspect", false, true}, Case{"ConstraintTiltMax", true, true}}) {
    KsRef<HcProperty> property = classObject->FindProperty(c.name);
    ASSERT_TRUE(property) << c.name;
    EXPECT_EQ(c.serialised, property->GetShouldSerialize()) << c.name;
    EXPECT_EQ(c.canSet, property->GetCanSet()) << c.name;
  }
  auto p = KsMakeRef<PlanarProjection>();
  EXPECT_NE(0, classObject->FindProperty("TilingCount")->SetValue(p.Get(), "3"));
  EXPECT_EQ(0, classObject->FindProperty("TiltMaxDeg")->SetValue(p.Get(), "40.5"));
  EXPECT_EQ(40.5f, p->GetTiltMaxDeg());
}

TEST(ProjectionRegistry, ProjectionsAndFunctionsAreMadeByName) {
  RegisterAllClasses();
  for (const char* name : {"CylindricalProj", "EquirectangularProj", "CubicProjection", "RadialFuncProj",
                           "KestrelProj", "PlanarProjection"}) {
    EXPECT_TRUE(MakeObject<PanoProjection>(name)) << name;
  }
  for (const char* name : {"LinearFunc", "PolynomialFunc", "CylindricalFunc", "KestrelFunc"}) {
    EXPECT_TRUE(MakeObject<OneVarFunction>(name)) << name;
  }
  for (const char* name : {"PanoProjection", "CartesianFuncProj", "OneVarFunction", "ProjectionAngleFunc"}) {
    EXPECT_FALSE(MakeObject<KsObject>(name)) << name;
  }
  auto collection = MakeObject<ProjectionCollection>("projections");
  ASSERT_TRUE(collection);
  EXPECT_EQ(0, collection->Add(KsMakeRef<PlanarProjection>()));
  EXPECT_NE(0, collection->AddObject(KsMakeRef<LinearFunc>()));
  EXPECT_EQ(1u, collection->GetCount());
}

}  // namespace
