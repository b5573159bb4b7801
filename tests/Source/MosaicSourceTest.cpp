#include <gtest/gtest.h>

#include "Projection/EquirectangularProj.h"
#include "Projection/PlanarProjection.h"
#include "Renderer/SubsetTextureSet.h"
#include "RendererTestSupport.h"
#include "Source/BufferSource.h"
#include "Source/MosaicSource.h"

namespace {

class MosaicSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    base = KsMakeRef<BufferSource>();
    base->SetPixelFormat(24);
    base->SetProjection(KsMakeRef<PlanarProjection>());
  }
  KsRef<BufferSource> base;
  KsRef<MosaicSource> mosaic = KsMakeRef<MosaicSource>();
};

TEST_F(MosaicSourceTest, NormalisedRectangleSizesTheMosaic) {
  ASSERT_EQ(0, base->CreateBuffer(2048, 1024));
  mosaic->SetSrcRect0to1(KsRectF(0.5f, 0.0f, 0.5f, 1.0f));
  ASSERT_EQ(0, mosaic->SetBaseSource(base));
  EXPECT_EQ(KsRectF(1024, 0, 1024, 1024), mosaic->GetSrcRectPix());
  EXPECT_EQ(1024, mosaic->GetWidth());
  EXPECT_EQ(1024, mosaic->GetHeight());
  EXPECT_TRUE(mosaic->GetHasData());
}

TEST_F(MosaicSourceTest, PixelRectangleGivesTheNormalisedOne) {
  ASSERT_EQ(0, base->CreateBuffer(2048, 1024));
  mosaic->SetSrcRectPix(KsRectF(0, 0, 512, 512));
  ASSERT_EQ(0, mosaic->SetBaseSource(base));
  EXPECT_EQ(KsRectF(0, 0, 0.25f, 0.5f), mosaic->GetSrcRect0to1());
  mosaic->SetSrcRectPix(KsRectF(0, 0, 100, 100));
  EXPECT_EQ(512, mosaic->GetWidth()) << "a later rectangle changes no dimensions";
}

TEST_F(MosaicSourceTest, WithoutBaseNothingIsDrawn) {
  KsRef<HcTextureSet> set;
  EXPECT_EQ(-903, mosaic->TextureSetForRenderer({}, set, 15));
  EXPECT_EQ(0, mosaic->Update());
  float value = 0;
  EXPECT_EQ(-102, mosaic->GetDataAtPoint(0, 0, 1, &value));
  EXPECT_FALSE(mosaic->GetHasData());
}

TEST_F(MosaicSourceTest, SubsetSetSeedFollowsItsBase) {
  auto subset = KsMakeRef<SubsetTextureSet>();
  const uint64_t start = subset->GetUpdateSeed();
  subset->SetProjection(KsMakeRef<PlanarProjection>());
  EXPECT_NE(start, subset->GetUpdateSeed());
  KsRef<HcTexture> texture;
  EXPECT_EQ(-903, subset->GetTextureForQuadrant(1, texture));
  auto subsetTexture = KsMakeRef<SubsetTexture>();
  EXPECT_EQ(-903, subsetTexture->Activate());
  KsPointF range;
  EXPECT_EQ(-102, subsetTexture->GetFullCoordRange(&range));
}

TEST_F(MosaicSourceTest, DrawsItsRectangleOfTheBase) {
  DrawingRenderer drawing;
  ASSERT_TRUE(drawing.Make(32, 32));
  ASSERT_EQ(0, base->CreateBuffer(64, 32));
  uint8_t* pixels = base->GetBaseAddress();
  for (int i = 0; i < 64 * 32; ++i) pixels[i * 3 + ((i % 64) < 32 ? 0 : 2)] = 255;  // red left, blue right
  base->FrameReady();
  mosaic->SetSrcRect0to1(KsRectF(0.5f, 0.0f, 0.5f, 1.0f));
  mosaic->SetProjection(KsMakeRef<PlanarProjection>());
  ASSERT_EQ(0, mosaic->SetBaseSource(base));

  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, mosaic->TextureSetForRenderer(drawing.renderer, set, 1));
  KsRef<HcTextureSet> again;
  ASSERT_EQ(0, mosaic->TextureSetForRenderer(drawing.renderer, again, 1));
  EXPECT_EQ(set, again) << "held sets are handed out again";
  KsRef<HcTexture> texture;
  ASSERT_EQ(0, set->GetTextureForQuadrant(4, texture));
  ASSERT_EQ(0, drawing.renderer->BeginUpdate());
  ASSERT_EQ(0, DrawTextureFlat(*drawing.renderer, *texture, 32, 32));
  drawing.renderer->EndUpdate();
  const std::vector<uint8_t> drawn = drawing.ReadARGB();
  for (size_t at : {size_t{0}, size_t{(16 * 32 + 16) * 4}, drawn.size() - 4}) {
    EXPECT_LT(drawn[at + 1], 10) << "red at " << at;
    EXPECT_GT(drawn[at + 3], 245) << "blue at " << at;
  }

  mosaic->SetProjection(KsMakeRef<PlanarProjection>());
  ASSERT_EQ(0, mosaic->TextureSetForRenderer(drawing.renderer, again, 1));
  EXPECT_NE(set, again) << "a new projection makes a new set";
}

TEST_F(MosaicSourceTest, SplitBaseSetsCannotBeUsed) {
  DrawingRenderer drawing;
  ASSERT_TRUE(drawing.Make(8, 8));
  // Two half tiles waste less than one padded texture on a card without
  // non-power-of-two textures.
  class PowerOfTwoOnly : public AppleOpenGLRenderer {
   public:
    bool SupportsNonPowerOfTwo() override { return false; }
    bool SupportsTextureRectangle() override { return false; }
  };
  auto renderer = KsMakeRef<PowerOfTwoOnly>();
  base->SetProjection(KsMakeRef<EquirectangularProj>());
  ASSERT_EQ(0, base->CreateBuffer(500, 250));
  base->FrameReady();
  mosaic->SetProjection(KsMakeRef<PlanarProjection>());
  ASSERT_EQ(0, mosaic->SetBaseSource(base));
  KsRef<HcTextureSet> set;
  EXPECT_EQ(-2, mosaic->TextureSetForRenderer(renderer, set, 15));
}

}  // namespace
