#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "FrameComparison.h"
#include "Projection/PlanarProjection.h"
#include "Renderer/BitmapTextureSet.h"
#include "RendererTestSupport.h"
#include "Source/BufferSource.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 160;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One test frame in an ffmpeg pixel format, and ffmpeg's own conversion of
// exactly those bytes to packed RGB.
struct Fixture {
  std::vector<uint8_t> frame;
  std::vector<uint8_t> referenceRgb;
};

Fixture MakeFixture(const ScratchFolder& folder, const std::string& ffmpegFormat) {
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
  const std::string frame = folder / (ffmpegFormat + ".raw");
  const std::string reference = folder / (ffmpegFormat + ".rgb");
  EXPECT_EQ(0, RunTool({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=1",
                        "-frames:v", "1", "-pix_fmt", ffmpegFormat, "-f", "rawvideo", "-y", frame}));
  EXPECT_EQ(0, RunTool({"ffmpeg", "-nostdin", "-v", "error", "-f", "rawvideo", "-pix_fmt", ffmpegFormat, "-s", size,
                        "-i", frame, "-pix_fmt", "rgb24", "-f", "rawvideo", "-y", reference}));
  return {ReadFile(frame), ReadFile(reference)};
}

struct Case {
  const char* ffmpegFormat;
  uint32_t code;
  bool colour;
};

class BufferSourcePixels : public ::testing::TestWithParam<Case> {};

TEST_P(BufferSourcePixels, DrawnFrameMatchesFfmpegsConversion) {
  const Case& c = GetParam();
  ScratchFolder folder;
  const Fixture fixture = MakeFixture(folder, c.ffmpegFormat);
  ASSERT_EQ(static_cast<size_t>(kWidth) * kHeight * 3, fixture.referenceRgb.size());

  DrawingRenderer drawing;
  ASSERT_TRUE(drawing.Make(kWidth, kHeight));
  auto source = KsMakeRef<BufferSource>();
  ASSERT_EQ(0, source->SetPixelFormat(c.code));
  source->SetProjection(KsMakeRef<PlanarProjection>());
  source->SetRenderer(drawing.renderer);
  ASSERT_EQ(0, source->CreateBuffer(kWidth, kHeight));
  ASSERT_EQ(source->GetBufferSize(), fixture.frame.size());
  std::copy(fixture.frame.begin(), fixture.frame.end(), source->GetBaseAddress());
  source->FrameReady();
  EXPECT_TRUE(drawing.renderer->GetIsDirty());

  ASSERT_EQ(0, drawing.renderer->BeginUpdate());
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  KsRef<HcTexture> texture;
  ASSERT_EQ(0, set->GetTextureForQuadrant(15, texture));
  ASSERT_EQ(0, DrawTextureFlat(*drawing.renderer, *texture, kWidth, kHeight));
  ASSERT_EQ(0, drawing.renderer->EndUpdate());
  EXPECT_FALSE(drawing.renderer->GetIsDirty());
  const std::vector<uint8_t> drawn = drawing.ReadARGB();

  for (int channel = 0; channel < 3; ++channel) {
    const float difference =
        framecompare::MeanAbsDifference(framecompare::Blurred(drawn, kWidth, kHeight, 4, channel + 1),
                                        framecompare::Blurred(fixture.referenceRgb, kWidth, kHeight, 3, channel));
    EXPECT_LE(difference, 2.0f) << c.ffmpegFormat << " channel " << channel;
  }
  if (c.colour) {
    const float swapped = framecompare::MeanAbsDifference(framecompare::Blurred(drawn, kWidth, kHeight, 4, 1),
                                                          framecompare::Blurred(fixture.referenceRgb, kWidth, kHeight, 3, 2));
    EXPECT_GT(swapped, 10.0f) << c.ffmpegFormat << ": red and blue look alike";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BufferSourcePixels,
    ::testing::Values(Case{"gray", 40, false}, Case{"rgb24", 24, true}, Case{"argb", 32, true},
                      Case{"uyvy422", PixelFormatCode("2vuy"), true}, Case{"yuyv422", PixelFormatCode("yuvs"), true},
                      Case{"bgr24", PixelFormatCode("24BG"), true}, Case{"bgra", PixelFormatCode("BGRA"), true},
                      Case{"abgr", PixelFormatCode("ABGR"), true}, Case{"rgba", PixelFormatCode("RGBA"), true},
                      Case{"rgb565le", PixelFormatCode("L565"), true}, Case{"rgb565be", PixelFormatCode("B565"), true},
                      Case{"rgb555le", PixelFormatCode("L555"), true}, Case{"rgb555be", 16, true},
                      Case{"rgb48be", PixelFormatCode("b48r"), true}, Case{"gray16be", PixelFormatCode("b16g"), false}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.ffmpegFormat); });

}  // namespace
