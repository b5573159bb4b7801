#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "FileTestSupport.h"
#include "General/ObjectCollection.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Source/MosaicSource.h"
#include "Source/QTBufferSource.h"
#include "Source/SourceCollection.h"
#include "HcMLRoundTrip.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

using hcmlroundtrip::RoundTrip;

class SourceHcML : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
};

TEST_F(SourceHcML, BufferSourcesKeepTheirSerialisedProperties) {
  for (bool qt : {false, true}) {
    KsRef<BufferSource> source = qt ? KsRef<BufferSource>(KsMakeRef<QTBufferSource>()) : KsMakeRef<BufferSource>();
    source->SetForceWidth(640);
    source->SetForceHeight(320);
    source->SetUseForcedDimensions(true);
    source->SetHasAlpha(true);
    source->SetPanAngle(12.5f);
    source->SetMapFullFrame(true);
    auto projection = KsMakeRef<CylindricalProj>();
    projection->SetTiltMaxDeg(40.0f);
    source->SetProjection(projection);
    std::string text;
    auto back = RoundTrip<SourceCollection>(source, "source", &text).DynamicCast<BufferSource>();
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(source->GetClassObject(), back->GetClassObject()) << text;
    EXPECT_EQ(640, back->GetForceWidth());
    EXPECT_EQ(320, back->GetForceHeight());
    EXPECT_TRUE(back->GetUseForcedDimensions());
    EXPECT_TRUE(back->GetHasAlpha());
    EXPECT_FLOAT_EQ(12.5f, back->GetPanAngle());
    EXPECT_TRUE(back->GetMapFullFrame());
    ASSERT_TRUE(back->GetProjection().DynamicCast<CylindricalProj>()) << text;
    EXPECT_FLOAT_EQ(40.0f, back->GetProjection()->GetTiltMaxDeg());
    EXPECT_EQ(std::string::npos, text.find("GWorld")) << text;
  }
}

TEST_F(SourceHcML, MosaicKeepsItsBaseAndPixelRectangle) {
  auto base = KsMakeRef<BufferSource>();
  base->SetProjection(KsMakeRef<EquirectangularProj>());
  auto mosaic = KsMakeRef<MosaicSource>();
  mosaic->SetSrcRectPix(KsRectF(10, 20, 300, 200));
  mosaic->SetBaseSource(base);
  mosaic->SetProjection(KsMakeRef<EquirectangularProj>());
  std::string text;
  auto back = RoundTrip<SourceCollection>(mosaic, "source", &text).DynamicCast<MosaicSource>();
  ASSERT_TRUE(back) << text;
  EXPECT_EQ(KsRectF(10, 20, 300, 200), back->GetSrcRectPix());
  ASSERT_TRUE(back->GetBaseSource().DynamicCast<BufferSource>()) << text;
  EXPECT_TRUE(back->GetBaseSource()->GetProjection().DynamicCast<EquirectangularProj>());
  EXPECT_EQ(std::string::npos, text.find("SrcRect0to1")) << text;
}

TEST_F(SourceHcML, RendererKeepsColourAndAspectButNoPointers) {
  auto renderer = KsMakeRef<AppleOpenGLRenderer>();
  renderer->SetBackgroundColor({0.25f, 0.5f, 0.75f, 1.0f});
  renderer->SetPixelAspectRatio(1.5f);
  int dummy = 0;
  renderer->SetCGLContext(&dummy);
  std::string text;
  auto back = RoundTrip<ObjectCollection>(renderer, "entry", &text).DynamicCast<AppleOpenGLRenderer>();
  ASSERT_TRUE(back) << text;
  EXPECT_EQ((KsColorF{0.25f, 0.5f, 0.75f, 1.0f}), back->GetBackgroundColor());
  EXPECT_FLOAT_EQ(1.5f, back->GetPixelAspectRatio());
  EXPECT_EQ(nullptr, back->GetCGLContext());
  EXPECT_EQ(std::string::npos, text.find("CGLContext")) << text;
}

TEST_F(SourceHcML, PointerPropertiesInTextAreNotSet) {
  const char* text =
      "<source xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"QTBufferSource\">"
      "<GWorld>1234</GWorld><ForceWidth>8</ForceWidth></source>";
  auto list = KsMakeRef<SourceCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(text);
  loader->LoadHcML();
  ASSERT_EQ(1u, list->GetCount());
  auto source = list->GetByIndex(0).DynamicCast<QTBufferSource>();
  ASSERT_TRUE(source);
  EXPECT_EQ(nullptr, source->GetGWorld());
  EXPECT_EQ(8, source->GetForceWidth()) << "the properties after it still load";
}

}  // namespace
