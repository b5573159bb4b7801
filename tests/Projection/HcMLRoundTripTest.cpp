#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "General/FloatCollection.h"
#include "Projection/CubicProjection.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/PlanarProjection.h"
#include "Projection/PolynomialFunc.h"
#include "Projection/ProjectionCollection.h"
#include "Projection/RadialFuncProj.h"
#include "RegisterAllClasses.h"
#include "FileTestSupport.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

// xmllint --noout on the text: true when it reads as well-formed XML.
bool XmllintAccepts(const std::string& text) {
  ScratchFolder folder;
  const std::filesystem::path path = folder / "projection.hcml";
  std::ofstream(path) << text;
  return RunTool({"xmllint", "--noout", std::string(path)}) == 0;
}

// The projection written as HcML and loaded back into a projection list.
KsRef<PanoProjection> RoundTrip(const KsRef<PanoProjection>& projection, std::string* text) {
  PWStringRef written = WriteObjectToHcMLString(projection, "projection");
  EXPECT_TRUE(written);
  if (!written) return {};
  *text = written.Str();
  EXPECT_TRUE(XmllintAccepts(*text)) << *text;
  auto list = KsMakeRef<ProjectionCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(written);
  EXPECT_EQ(0, loader->LoadHcML()) << *text;
  EXPECT_EQ(1u, list->GetCount()) << *text;
  return list->GetByIndex(0);
}

struct Case {
  const char* name;
  std::function<KsRef<PanoProjection>()> make;
};

std::vector<Case> Cases() {
  return {
      {"planar",
       [] {
         auto p = KsMakeRef<PlanarProjection>();
         p->SetTiltMinDeg(-12.5f);
         p->SetZeroPanOffsetDeg(33.0f);
         p->SetConstraintPanMax(180.0f);
         return p;
       }},
      {"cylindrical",
       [] {
         auto p = KsMakeRef<CylindricalProj>();
         p->SetTiltMinDeg(-35.0f);
         p->SetTiltMaxDeg(55.0f);
         p->SetPanMaxDeg(270.0f);
         p->SetVerticalOffset(0.05f);
         p->SetVerticalScale(0.9f);
         return p;
       }},
      {"equirectangular",
       [] {
         auto p = KsMakeRef<EquirectangularProj>();
         p->SetTiltMinDeg(-60.0f);
         p->SetPanMinDeg(10.0f);
         p->SetZeroPanOffsetDeg(-15.0f);
         return p;
       }},
      {"cubic",
       [] {
         KsRef<CubicProjection> p;
         CubicProjection::Create3By2CubicProjection(p);
         p->SetImageAspect(1.0f);  // the aspect comes from the source, not from HcML
         return p;
       }},
      {"ring with a polynomial",
       [] {
         auto terms = KsMakeRef<FloatCollection>();
         for (float term : {0.6f, 0.43f, 0.0059f}) terms->Add(term);
         auto f = KsMakeRef<PolynomialFunc>();
         f->SetPolyTerms(terms);
         f->SetNominalDomain(-1.3f, 0.9f);
         auto p = KsMakeRef<RadialFuncProj>();
         p->SetRadialFunc(f);
         p->SetCenterPoint({0.51f, 0.47f});
         p->SetRadiusV(0.42f);
         p->SetAspect(1.1f);
         p->SetIsMirror(false);
         p->SetIsInverted(true);
         return p;
       }},
      {"optic",
       [] {
         auto p = KsMakeRef<KestrelProj>();
         p->SetApexDistance(120.0f);
         p->SetRadiusV(0.48f);
         return p;
       }},
  };
}

TEST(ProjectionHcML, EveryProjectionWritesValidHcMLAndLoadsBackEqual) {
  RegisterAllClasses();
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    KsRef<PanoProjection> original = c.make();
    std::string text;
    KsRef<PanoProjection> loaded = RoundTrip(original, &text);
    ASSERT_TRUE(loaded) << text;
    EXPECT_EQ(original->GetClassObject(), loaded->GetClassObject());
    EXPECT_TRUE(original->Compare(loaded)) << text;
    EXPECT_TRUE(loaded->Compare(original)) << text;
    EXPECT_EQ(std::string::npos, text.find("TilingCount"));
    EXPECT_EQ(std::string::npos, text.find("ImageAspect"));
    EXPECT_EQ(original->GetConstraintPanMax(), loaded->GetConstraintPanMax());
    EXPECT_EQ(original->GetEditorViewsetType(), loaded->GetEditorViewsetType());
    EXPECT_EQ(original->GetZeroPanOffsetDeg(), loaded->GetZeroPanOffsetDeg());
    for (float pan : {0.3f, 2.0f, 4.5f}) {
      for (float tilt : {-0.6f, 0.1f, 0.7f}) {
        float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
        const bool valid = original->GetPointForAngleRad(pan, tilt, &x0, &y0);
        EXPECT_EQ(valid, loaded->GetPointForAngleRad(pan, tilt, &x1, &y1));
        if (valid) {
          EXPECT_EQ(x0, x1);
          EXPECT_EQ(y0, y1);
        }
      }
    }
  }
}

TEST(ProjectionHcML, NestedFunctionsAndFacesComeBackWithTheirValues) {
  RegisterAllClasses();
  std::string text;
  KsRef<CubicProjection> cube;
  CubicProjection::Create3By2CubicProjection(cube);
  auto loadedCube = RoundTrip(cube, &text).DynamicCast<CubicProjection>();
  ASSERT_TRUE(loadedCube);
  EXPECT_EQ(3u, loadedCube->GetFacesWide());
  EXPECT_EQ(2u, loadedCube->GetFacesHigh());
  auto faces = loadedCube->GetCubeFaceConfiguration();
  ASSERT_TRUE(faces);
  ASSERT_EQ(6u, faces->GetCount());
  EXPECT_EQ(270.0f, faces->GetByIndex(3)->GetPanCenterDeg());
  EXPECT_EQ(-90.0f, faces->GetByIndex(5)->GetTiltCenterDeg());
  EXPECT_EQ(2u, faces->GetByIndex(5)->GetFacePositionX());

  auto optic = KsMakeRef<KestrelProj>();
  optic->SetApexDistance(250.0f);
  auto loadedOptic = RoundTrip(optic, &text).DynamicCast<KestrelProj>();
  ASSERT_TRUE(loadedOptic);
  EXPECT_EQ(250.0f, loadedOptic->GetApexDistance());
  EXPECT_EQ(optic->GetAngleEdgeDeg(), loadedOptic->GetAngleEdgeDeg());

  auto planar = KsMakeRef<PlanarProjection>();
  RoundTrip(planar, &text);
  EXPECT_NE(std::string::npos, text.find(">PlanarProjection<")) << text;
}

}  // namespace
