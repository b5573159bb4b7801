#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Projection/EquirectangularProj.h"
#include "Projection/PlanarProjection.h"
#include "Renderer/BitmapTextureSet.h"
#include "RendererTestSupport.h"
#include "Source/QTBufferSource.h"

namespace {

KsRef<BufferSource> SourceIn(uint32_t format) {
  RegisterAllClasses();
  auto source = KsMakeRef<BufferSource>();
  EXPECT_EQ(0, source->SetPixelFormat(format));
  return source;
}

TEST(BufferSource, BufferSizes) {
  auto source = SourceIn(PixelFormatCode("RGBA"));
  EXPECT_EQ(-2, source->CreateBuffer(640, 0));
  EXPECT_FALSE(source->GetHasDimensions());
  EXPECT_EQ(-2, source->CreateBuffer(-4, 10));
  ASSERT_EQ(0, source->CreateBuffer(100, 50));
  EXPECT_EQ(400, source->GetRowBytes());
  EXPECT_EQ(20000u, source->GetBufferSize());
  const uint8_t* base = source->GetBaseAddress();
  EXPECT_TRUE(std::all_of(base, base + 20000, [](uint8_t b) { return b == 0; }));
  // 40000 x 40000 x 4 bytes is past the limit: refused before allocating.
  EXPECT_EQ(-101, source->CreateBuffer(40000, 40000));
  EXPECT_EQ(nullptr, source->GetBaseAddress());
}

TEST(BufferSource, ForcedSizeIsFixedOnceTheBufferExists) {
  auto source = SourceIn(24);
  EXPECT_EQ(0, source->SetForceWidth(320));
  EXPECT_EQ(320, source->GetForceWidth());
  ASSERT_EQ(0, source->CreateBuffer(8, 8));
  EXPECT_EQ(-903, source->SetForceWidth(1));
  EXPECT_EQ(-903, source->SetForceHeight(1));
  EXPECT_EQ(-903, source->SetUseForcedDimensions(true));
  EXPECT_NEAR(0.8889f, BufferSource::GetAspectScale(720, 480, 640, 480), 1e-4f);
}

TEST(BufferSource, DataAtPoint) {
  auto rgba = SourceIn(PixelFormatCode("RGBA"));
  ASSERT_EQ(0, rgba->CreateBuffer(4, 4));
  float value = -1;
  EXPECT_EQ(-903, rgba->GetDataAtPoint(0, 0, PixelFormatInfo::kCompG, &value));
  uint8_t* pixel = rgba->GetBaseAddress() + 1 * 16 + 2 * 4;
  pixel[0] = 10, pixel[1] = 51, pixel[2] = 30, pixel[3] = 40;
  rgba->FrameReady();
  ASSERT_EQ(0, rgba->GetDataAtPoint(2, 1, PixelFormatInfo::kCompG, &value));
  EXPECT_FLOAT_EQ(51.0f / 255.0f, value);
  EXPECT_EQ(-2, rgba->GetDataAtPoint(2, 1, PixelFormatInfo::kCompY, &value));
  for (auto [x, y] : {std::pair{4, 0}, std::pair{0, 4}, std::pair{-1, 0}}) {
    EXPECT_EQ(-2, rgba->GetDataAtPoint(x, y, PixelFormatInfo::kCompR, &value)) << x << "," << y;
  }

  auto b64a = SourceIn(PixelFormatCode("b64a"));
  ASSERT_EQ(0, b64a->CreateBuffer(2, 1));
  uint8_t* deep = b64a->GetBaseAddress() + 8;
  deep[2] = 0x80, deep[3] = 0x01;  // R of pixel 1, big-endian
  b64a->FrameReady();
  ASSERT_EQ(0, b64a->GetDataAtPoint(1, 0, PixelFormatInfo::kCompR, &value));
  EXPECT_FLOAT_EQ(static_cast<float>(0x8001) / 65535.0f, value);

  auto floats = SourceIn(PixelFormatCode("f32g"));
  ASSERT_EQ(0, floats->CreateBuffer(2, 2));
  floats->FrameReady();
  EXPECT_EQ(-2, floats->GetDataAtPoint(0, 0, PixelFormatInfo::kCompGrey, &value));
}

// A big-endian image description of the codec and size, with a 'pasp' atom
// when spacing is given.
std::vector<uint8_t> Description(const char (&codec)[5], uint16_t width, uint16_t height, uint32_t hSpacing = 0,
                                 uint32_t vSpacing = 0) {
  std::vector<uint8_t> d(86, 0);
  auto put32 = [&d](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  const uint32_t size = hSpacing ? 86 + 16 : 86;
  put32(0, size);
  put32(4, PixelFormatCode(codec));
  d[32] = static_cast<uint8_t>(width >> 8), d[33] = static_cast<uint8_t>(width);
  d[34] = static_cast<uint8_t>(height >> 8), d[35] = static_cast<uint8_t>(height);
  d[82] = 0, d[83] = 24;
  d[84] = 0xFF, d[85] = 0xFF;
  if (hSpacing) {
    d.resize(102);
    put32(86, 16);
    put32(90, PixelFormatCode("pasp"));
    put32(94, hSpacing);
    put32(98, vSpacing);
  }
  return d;
}

TEST(QTBufferSource, PixelAspectOfDescriptions) {
  EXPECT_NEAR(1.1f, QTBufferSource::GetPixelAspectRatioForDescription(Description("avc1", 640, 480, 10, 11), 0, 0),
              1e-6f);
  EXPECT_FLOAT_EQ(0.9152542f, QTBufferSource::GetPixelAspectRatioForDescription(Description("dvcp", 720, 576), 0, 0));
  EXPECT_FLOAT_EQ(1.1f, QTBufferSource::GetPixelAspectRatioForDescription(Description("dvc ", 720, 480), 0, 0));
  EXPECT_FLOAT_EQ(1.0f, QTBufferSource::GetPixelAspectRatioForDescription(Description("avc1", 640, 480), 0, 0));
  EXPECT_FLOAT_EQ(1.0f, QTBufferSource::GetPixelAspectRatioForDescription(Description("avc1", 640, 480, 0, 5), 0, 0));
  EXPECT_FLOAT_EQ(1.1f, QTBufferSource::GetPixelAspectRatioForDescription({}, 720, 480));
  const std::vector<uint8_t> truncated(40, 0);
  EXPECT_FLOAT_EQ(1.0f, QTBufferSource::GetPixelAspectRatioForDescription(truncated, 720, 480));
}

TEST(QTBufferSource, ImageBufferDescribesTheBuffer) {
  RegisterAllClasses();
  auto source = KsMakeRef<QTBufferSource>();
  EXPECT_EQ(nullptr, source->GetImageBuffer());
  source->SetPixelFormat(32);
  ASSERT_EQ(0, source->CreateBuffer(30, 20));
  const hc::playback::ImageBuffer* buffer = source->GetImageBuffer();
  ASSERT_NE(nullptr, buffer);
  EXPECT_EQ(source->GetBaseAddress(), buffer->base);
  EXPECT_EQ(120, buffer->rowBytes);
  EXPECT_EQ(32u, buffer->pixelFormat);
  source->DisposeBuffer();
  EXPECT_EQ(nullptr, source->GetImageBuffer());
}

class BufferSourceDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drawing.Make(16, 16));
    source = SourceIn(24);
    source->SetProjection(KsMakeRef<EquirectangularProj>());
    ASSERT_EQ(0, source->CreateBuffer(200, 100));
    source->FrameReady();
  }
  DrawingRenderer drawing;
  KsRef<BufferSource> source;
};

TEST_F(BufferSourceDrawing, EqualWasteKeepsTheEarlierStrategy) {
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  EXPECT_EQ(0u, set.DynamicCast<BitmapTextureSet>()->GetStrategy());
  EXPECT_EQ(set, source->GetLastTextureSet());
}

TEST_F(BufferSourceDrawing, UnchangedFramesAreNotUploadedAgain) {
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  KsRef<HcTextureSet> first = set;
  auto texture = set->GetTextureByIndex(0).DynamicCast<BitmapTexture>();
  const uint64_t stamp = texture->GetImageStamp();
  source->GetBaseAddress()[0] = 200;  // written, but no FrameReady
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  EXPECT_EQ(first, set);
  EXPECT_EQ(stamp, texture->GetImageStamp());
  source->FrameReady();
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  EXPECT_NE(stamp, texture->GetImageStamp());
}

TEST_F(BufferSourceDrawing, ASetOfAnotherRendererIsNotReused) {
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  KsRef<HcTextureSet> first = set;
  auto other = KsMakeRef<AppleOpenGLRenderer>();
  ASSERT_EQ(0, source->TextureSetForRenderer(other, set, 15));
  EXPECT_NE(first, set);
  EXPECT_EQ(other, set.DynamicCast<BitmapTextureSet>()->GetRenderer());
}

TEST_F(BufferSourceDrawing, ASmallerBufferOfTheSameShapeGetsNewTextures) {
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  ASSERT_EQ(0, source->CreateBuffer(100, 50));  // same aspect: the projection's seed does not move
  source->FrameReady();
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  EXPECT_EQ(100, set.DynamicCast<BitmapTextureSet>()->GetImageWidth());
}

TEST_F(BufferSourceDrawing, FailuresLeaveTheResultEmpty) {
  KsRef<HcTextureSet> set;
  EXPECT_EQ(-2, source->TextureSetForRenderer({}, set, 15));
  source->SetProjection({});
  EXPECT_EQ(-903, source->TextureSetForRenderer(drawing.renderer, set, 15));
  EXPECT_FALSE(set);
}

}  // namespace
