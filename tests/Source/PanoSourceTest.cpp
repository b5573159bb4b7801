#include <gtest/gtest.h>

#include <cmath>

#include "General/HcClassMap.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/PlanarProjection.h"
#include "RegisterAllClasses.h"
#include "Renderer/PixelFormatArbiter.h"
#include "Source/PanoSource.h"
#include "Source/SourceCollection.h"
#include "Source/SourceErr.h"
#include "Utilities/HcProperty.h"

namespace {

// The smallest concrete source: the base's behaviour, nothing drawn.
class PlainSource : public PanoSource {
 public:
  eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>&, KsRef<HcTextureSet>&, uint32_t) override {
    return AppErr::kNoErr;
  }
  eAppErr GetDataAtPoint(int32_t, int32_t, uint32_t, float*) override { return AppErr::kNoErr; }
  eAppErr DoUpdate() override { return m_updateResult; }
  KsRef<KsClassObject> GetClassObject() const override { return PanoSource::ClassGetClassObject(); }

  using PanoSource::IncrementFrameCount;
  using PanoSource::SetDataFlag;
  eAppErr m_updateResult = 0;
};

class PanoSourceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
  KsRef<PlainSource> source = KsMakeRef<PlainSource>();
};

TEST_F(PanoSourceTest, PixelFormatTableHoldsTwentyFourRowsEndedByZero) {
  int rows = 0;
  for (const PixelFormatInfo* row = PixelFormatInfo::Table(); row->code != 0; ++row) ++rows;
  EXPECT_EQ(24, rows);
  const PixelFormatInfo* yuv = PanoSource::FindPixelFormatInfo(PixelFormatCode("2vuy"));
  ASSERT_NE(nullptr, yuv);
  EXPECT_EQ(PixelFormatInfo::kModelYUV, yuv->colorModel);
  EXPECT_EQ(2u, yuv->BytesPerPixel());
  const PixelFormatInfo* b64a = PanoSource::FindPixelFormatInfo(PixelFormatCode("b64a"));
  ASSERT_NE(nullptr, b64a);
  EXPECT_EQ(8u, b64a->BytesPerPixel());
  EXPECT_EQ(nullptr, PanoSource::FindPixelFormatInfo(0));
  EXPECT_EQ(nullptr, PanoSource::FindPixelFormatInfo(PixelFormatCode("xxxx")));
}

TEST_F(PanoSourceTest, DimensionsNeedBothSides) {
  source->SetDimensions(640, 0);
  EXPECT_FALSE(source->GetHasDimensions());
  EXPECT_EQ(0, source->GetWidth());
  EXPECT_EQ(0, source->GetHeight());
  EXPECT_FLOAT_EQ(1.0f, source->GetImageAspect());
  source->SetDataFlag(true);
  EXPECT_FALSE(source->GetHasData());
  source->SetDimensions(720, 480);
  EXPECT_TRUE(source->GetHasData());
  ASSERT_EQ(0, source->SetPixelAspectRatio(1.1f));
  EXPECT_NEAR(720.0f / (480.0f * 1.1f), source->GetImageAspect(), 1e-5f);
}

TEST_F(PanoSourceTest, PixelAspectRatioRefusesNonPositiveAndNonFinite) {
  for (float bad : {0.0f, -1.0f, NAN, INFINITY}) EXPECT_EQ(-2, source->SetPixelAspectRatio(bad)) << bad;
  EXPECT_FLOAT_EQ(1.0f, source->GetPixelAspectRatio());
}

TEST_F(PanoSourceTest, SetProjectionCountsEveryCallAndPushesTheImageAspect) {
  auto projection = KsMakeRef<EquirectangularProj>();
  source->SetDimensions(2000, 1000);
  const uint32_t before = source->GetProjectionChangeCount();
  source->SetProjection(projection);
  EXPECT_FLOAT_EQ(2.0f, projection->GetImageAspect());
  projection->SetImageAspect(3.0f);
  source->SetProjection(projection);
  EXPECT_FLOAT_EQ(2.0f, projection->GetImageAspect());
  EXPECT_EQ(before + 2, source->GetProjectionChangeCount());
  EXPECT_FALSE(source->GetIsPlanarSource());
  source->SetProjection(KsMakeRef<PlanarProjection>());
  EXPECT_TRUE(source->GetIsPlanarSource());
}

TEST_F(PanoSourceTest, PixelFormatIsChosenOnce) {
  EXPECT_EQ(0, source->SetPixelFormat(PixelFormatInfo::k2vuy));
  EXPECT_EQ(0, source->SetPixelFormat(PixelFormatInfo::k2vuy));
  EXPECT_EQ(-903, source->SetPixelFormat(PixelFormatInfo::k32ARGB));
  EXPECT_EQ(PixelFormatInfo::k2vuy, source->GetPixelFormat());
  EXPECT_EQ(-903, source->SetHasAlpha(false));
}

TEST_F(PanoSourceTest, AlphaSourcesNeverTakeLumaChroma) {
  ASSERT_EQ(0, source->SetHasAlpha(true));
  EXPECT_EQ(-205, source->SetPixelFormat(PixelFormatInfo::k2vuy));
  EXPECT_EQ(-205, source->SetPixelFormat(12345));
  EXPECT_EQ(PixelFormatInfo::k32ARGB, source->GetPixelFormat());
  ASSERT_NE(nullptr, source->GetPixelFormatInfo());
}

TEST_F(PanoSourceTest, ArbiterAnswersByAlphaAndForgetsDeadSources) {
  auto arbiter = KsMakeRef<PixelFormatArbiter>();
  EXPECT_EQ(PixelFormatInfo::k2vuy, arbiter->GetSourcePixelFormat());
  {
    auto other = KsMakeRef<PlainSource>();
    arbiter->SetSource(other);
    other->SetHasAlpha(true);
    EXPECT_EQ(PixelFormatInfo::k32ARGB, arbiter->GetSourcePixelFormat());
    other->SetHasAlpha(false);
    EXPECT_EQ(PixelFormatInfo::k2vuy, arbiter->GetSourcePixelFormat());
  }
  EXPECT_FALSE(arbiter->GetSource());
  EXPECT_EQ(PixelFormatInfo::k2vuy, arbiter->GetSourcePixelFormat());
}

TEST_F(PanoSourceTest, MapFullFrameDefaultIsTakenAtConstruction) {
  PanoSource::SetDefaultMapFullFrame(true);
  auto made = KsMakeRef<PlainSource>();
  PanoSource::SetDefaultMapFullFrame(false);
  EXPECT_TRUE(made->GetMapFullFrame());
  EXPECT_FALSE(KsMakeRef<PlainSource>()->GetMapFullFrame());
}

TEST_F(PanoSourceTest, UpdatePassesFailuresOn) {
  source->m_updateResult = -7;
  EXPECT_EQ(-7, source->Update());
}

TEST_F(PanoSourceTest, ClassesByName) {
  EXPECT_FALSE(MakeObject<PanoSource>("PanoSource"));
  auto sources = MakeObject<SourceCollection>("sources");
  ASSERT_TRUE(sources);
  EXPECT_EQ(0u, sources->GetCount());
  EXPECT_TRUE(MakeObject<PixelFormatArbiter>("PixelFormatArbiter"));
}

}  // namespace
