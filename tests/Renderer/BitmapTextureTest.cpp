#include <gtest/gtest.h>

#include <algorithm>

#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/PlanarProjection.h"
#include "Renderer/BitmapTextureSet.h"
#include "Renderer/GLBitmapTexture.h"
#include "RendererTestSupport.h"
#include "Source/BufferSource.h"

namespace {

// A renderer that lays textures out as a card without some capabilities would.
class LimitedRenderer : public AppleOpenGLRenderer {
 public:
  bool nonPowerOfTwo = false;
  bool rectangle = false;
  int32_t GetMaxTextureSize() override { return 4096; }
  bool SupportsNonPowerOfTwo() override { return nonPowerOfTwo; }
  bool SupportsTextureRectangle() override { return rectangle; }
};

class BitmapTextureTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(drawing.Make(16, 16)); }

  KsRef<BitmapTextureSet> LaidOut(const KsRef<PanoRenderer>& renderer, const KsRef<PanoProjection>& projection,
                                  uint32_t strategy, int width, int height, uint32_t format) {
    auto set = renderer->CreateBitmapTextureSet();
    set->SetProjection(projection);
    set->SetStrategy(strategy);
    set->SetImageWidth(width);
    set->SetImageHeight(height);
    set->SetPixelFormat(PixelFormatInfo::Find(format));
    EXPECT_EQ(0, set->GetCanCreate());
    return set;
  }

  DrawingRenderer drawing;
};

TEST_F(BitmapTextureTest, LumaChromaTilesStartOnEvenPixelsWithTwoTexelBorders) {
  auto projection = KsMakeRef<EquirectangularProj>();
  auto set = LaidOut(drawing.renderer, projection, 1, 204, 100, PixelFormatCode("2vuy"));
  ASSERT_EQ(2u, set->GetTextureCount());
  KsRef<BitmapTexture> second = set->GetBitmapTexture(1);
  EXPECT_EQ(100, second->GetUsedRect().x) << "102 - 1 pixel of overlap, made even";
  EXPECT_EQ(0, second->GetUsedRect().w % 2);
  EXPECT_TRUE(second->GetNeighbourOverlap(BitmapTexture::kLeft));
  EXPECT_TRUE(second->GetBorderAdded(BitmapTexture::kRight));
  EXPECT_EQ(2, second->GetBorder());
  EXPECT_EQ(second->GetUsedRect().w + 2, second->GetTextureWidth());
}

TEST_F(BitmapTextureTest, FullPanoramaTileWrapsWhenItsSizeIsExact) {
  auto renderer = KsMakeRef<LimitedRenderer>();
  auto projection = KsMakeRef<EquirectangularProj>();
  auto exact = LaidOut(renderer, projection, 0, 512, 256, 24);
  KsRef<BitmapTexture> wraps = exact->GetBitmapTexture(0);
  EXPECT_TRUE(wraps->GetWrapHorizontally());
  EXPECT_FALSE(wraps->GetBorderAdded(BitmapTexture::kLeft));
  EXPECT_EQ(512, wraps->GetTextureWidth());
  ASSERT_EQ(0, exact->CreateTextures({}));
  auto gl = wraps.DynamicCast<GLBitmapTexture>();
  glBindTexture(GL_TEXTURE_2D, gl->GetTextureName());
  GLint wrapS = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  EXPECT_EQ(GL_REPEAT, wrapS);

  auto padded = LaidOut(renderer, projection, 0, 500, 250, 24);
  KsRef<BitmapTexture> clamps = padded->GetBitmapTexture(0);
  EXPECT_FALSE(clamps->GetWrapHorizontally());
  EXPECT_TRUE(clamps->GetBorderAdded(BitmapTexture::kLeft));
  EXPECT_TRUE(clamps->GetBorderAdded(BitmapTexture::kRight));
  EXPECT_EQ(512, clamps->GetTextureWidth());
  ASSERT_EQ(0, padded->CreateTextures({}));
  glBindTexture(GL_TEXTURE_2D, clamps.DynamicCast<GLBitmapTexture>()->GetTextureName());
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  EXPECT_EQ(GL_CLAMP_TO_EDGE, wrapS) << "GL_CLAMP would blend the border colour in";
  glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(BitmapTextureTest, BordersAreFilledFromTheOppositeSide) {
  auto renderer = KsMakeRef<LimitedRenderer>();
  auto source = KsMakeRef<BufferSource>();
  source->SetPixelFormat(24);
  source->SetProjection(KsMakeRef<EquirectangularProj>());
  ASSERT_EQ(0, source->CreateBuffer(500, 250));
  uint8_t* base = source->GetBaseAddress();
  for (int y = 0; y < 250; ++y) {
    base[y * 1500 + 0] = 255;          // leftmost column red
    base[y * 1500 + 499 * 3 + 2] = 255;  // rightmost column blue
  }
  source->FrameReady();
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(renderer, set, 15));
  // Two half-image tiles waste less than one padded to 512 x 256; the left
  // one's left border must hold the image's rightmost column, not its own.
  ASSERT_EQ(2u, set->GetTextureCount());
  auto texture = set->GetTextureByIndex(0).DynamicCast<GLBitmapTexture>();
  ASSERT_EQ(1, texture->GetPlacement().x);
  auto right = set->GetTextureByIndex(1).DynamicCast<GLBitmapTexture>();
  const int32_t rightBorderX = right->GetPlacement().x + right->GetUsedRect().w;
  std::vector<uint8_t> texels(static_cast<size_t>(texture->GetTextureWidth()) * texture->GetTextureHeight() * 3);
  glBindTexture(GL_TEXTURE_2D, texture->GetTextureName());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  const size_t row = static_cast<size_t>(texture->GetTextureWidth()) * 3 * 10;
  EXPECT_EQ(255, texels[row + 0 * 3 + 2]) << "left border holds the rightmost column";
  EXPECT_EQ(255, texels[row + 1 * 3 + 0]);
  std::fill(texels.begin(), texels.end(), 0);
  glBindTexture(GL_TEXTURE_2D, right->GetTextureName());
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  const size_t rightRow = static_cast<size_t>(right->GetTextureWidth()) * 3 * 10;
  EXPECT_EQ(255, texels[rightRow + static_cast<size_t>(rightBorderX) * 3 + 0])
      << "right border holds the leftmost column";
}

TEST_F(BitmapTextureTest, WithoutNonPowerOfTwoOrRectanglesTexturesArePadded) {
  auto renderer = KsMakeRef<LimitedRenderer>();
  auto set = LaidOut(renderer, KsMakeRef<PlanarProjection>(), 0, 1000, 500, 24);
  KsRef<BitmapTexture> texture = set->GetBitmapTexture(0);
  EXPECT_EQ(1024, texture->GetTextureWidth());
  EXPECT_EQ(512, texture->GetTextureHeight());
  EXPECT_FLOAT_EQ(1024.0f * 512.0f - 1000.0f * 500.0f, set->GetWastedTexels());
  renderer->rectangle = true;
  auto rectangle = LaidOut(renderer, KsMakeRef<PlanarProjection>(), 0, 1000, 500, 24);
  EXPECT_EQ(1000, rectangle->GetBitmapTexture(0)->GetTextureWidth());
  ASSERT_EQ(0, rectangle->CreateTextures({}));
  EXPECT_EQ(static_cast<GLenum>(GL_TEXTURE_RECTANGLE_ARB),
            rectangle->GetBitmapTexture(0).DynamicCast<GLBitmapTexture>()->GetTarget());
}

TEST_F(BitmapTextureTest, SetQueriesAndAlphaAfterCreation) {
  auto set = LaidOut(drawing.renderer, KsMakeRef<PlanarProjection>(), 0, 64, 32, 32);
  EXPECT_EQ(0, set->SetUseAlpha(true) == -903 ? 0 : 1) << "refused once the set holds textures";
  ASSERT_EQ(0, set->CreateTextures({}));
  EXPECT_EQ(-903, set->SetUseAlpha(true));
  EXPECT_FALSE(set->GetUseAlpha());
  EXPECT_FALSE(set->GetTextureByIndex(4));
  KsRef<HcTexture> texture;
  EXPECT_EQ(-2, set->GetTextureForQuadrant(0, texture));
  EXPECT_FALSE(texture);
  EXPECT_EQ(0, set->GetTextureForQuadrant(8, texture));
  EXPECT_TRUE(texture);
}

TEST_F(BitmapTextureTest, ReTilingTakesOverTexturesOfTheSameShape) {
  auto projection = KsMakeRef<PlanarProjection>();
  auto first = LaidOut(drawing.renderer, projection, 0, 64, 32, 24);
  ASSERT_EQ(0, first->CreateTextures({}));
  const GLuint name = first->GetBitmapTexture(0).DynamicCast<GLBitmapTexture>()->GetTextureName();
  auto second = LaidOut(drawing.renderer, projection, 0, 64, 32, 24);
  ASSERT_EQ(0, second->CreateTextures(first));
  EXPECT_EQ(name, second->GetBitmapTexture(0).DynamicCast<GLBitmapTexture>()->GetTextureName());
  EXPECT_EQ(0u, first->GetBitmapTexture(0).DynamicCast<GLBitmapTexture>()->GetTextureName());
}

TEST_F(BitmapTextureTest, DirectionsOutsideTheImageStillGetCoordinates) {
  auto projection = KsMakeRef<CylindricalProj>();
  auto set = LaidOut(drawing.renderer, projection, 0, 64, 32, 24);
  KsRef<BitmapTexture> texture = set->GetBitmapTexture(0);
  KsPointF st;
  EXPECT_EQ(0, texture->PanTiltRadToTexture({1.0f, 0.0f}, &st));
  float x = 0, y = 0;
  ASSERT_FALSE(projection->GetPointForAngleRad(1.0f, 1.4f, &x, &y));
  EXPECT_EQ(1101, texture->PanTiltRadToTexture({1.0f, 1.4f}, &st));
  EXPECT_LT(st.y, 0.0f) << "extrapolated above the image's top";
  EXPECT_EQ(-2, texture->PanTiltRadToTexture({1.0f, 0.0f}, nullptr));
  texture->SetProjection({});
  EXPECT_EQ(-903, texture->PanTiltRadToTexture({1.0f, 0.0f}, &st));
}

}  // namespace
