#include "platform/playback/ImagePixelConverter.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tests/platform/movfile/MovTestTools.h"
#include "PlaybackTestMovies.h"
#include "StillImageTestTools.h"
#include "platform/playback/GraphicsImporter.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/playback/VideoDecoder.h"

using namespace hc::movfile;
using namespace hc::playback;
using movtest::TempDir;

namespace {

struct FormatCase {
  uint32_t code;
  const char* ffmpegFormat;  // ffmpeg's name for the same layout
  int tolerance;
};

const FormatCase kFormats[] = {
    {40, "gray", 1},
    {MovFourCC("L555"), "rgb555le", 0},
    {16, "rgb555be", 0},
    {MovFourCC("L565"), "rgb565le", 0},
    {MovFourCC("B565"), "rgb565be", 0},
    {MovFourCC("yuvs"), "yuyv422", 1},
    {MovFourCC("2vuy"), "uyvy422", 1},
    {24, "rgb24", 0},
    {MovFourCC("24BG"), "bgr24", 0},
    {32, "argb", 0},
    {MovFourCC("BGRA"), "bgra", 0},
    {MovFourCC("ABGR"), "abgr", 0},
    {MovFourCC("RGBA"), "rgba", 0},
    {MovFourCC("b48r"), "rgb48be", 1},
    {MovFourCC("b16g"), "gray16be", 1},
};

// ffmpeg's rows of a 4:2:2 picture of odd width end with a whole pair; a
// buffer's rows hold exactly width x 2 bytes.
std::vector<uint8_t> RowsCut(const std::vector<uint8_t>& pixels, size_t height, size_t rowLength) {
  const size_t stride = pixels.size() / height;
  std::vector<uint8_t> rows;
  for (size_t y = 0; y < height; ++y) {
    auto row = pixels.begin() + static_cast<ptrdiff_t>(y * stride);
    rows.insert(rows.end(), row, row + static_cast<ptrdiff_t>(std::min(rowLength, stride)));
  }
  return rows;
}

// Every supported format holds what ffmpeg's own conversion of the same
// picture holds, at an odd width too (half a 4:2:2 pair), and nothing past a
// row's pixels is written.
TEST(ImagePixelConverterTest, FormatsMatchFfmpegAndStayWithinRows) {
  TempDir dir;
  const std::string path = dir.File("picture.png");
  stilltest::MakePicture(path, "35x19", "rgb24");
  GraphicsImporter importer;
  ASSERT_EQ(importer.OpenFile(path), PlaybackErr::Ok);
  for (const FormatCase& format : kFormats) {
    SCOPED_TRACE(format.ffmpegFormat);
    ASSERT_TRUE(ImagePixelConverter::SupportsPixelFormat(format.code));
    stilltest::GuardedBuffer buffer(35, 19, format.code);
    ASSERT_EQ(importer.Draw(buffer.View()), PlaybackErr::Ok);
    EXPECT_TRUE(buffer.GuardsIntact());
    EXPECT_LE(stilltest::MaxDifference(buffer.Pixels(),
                                       RowsCut(stilltest::FfmpegPixels(path, 35, 19, format.ffmpegFormat), 19,
                                               35 * ImagePixelConverter::BytesPerPixel(format.code))),
              format.tolerance);
  }
}

// 'b64a' is ARGB with 16 bits a component, big-endian: ffmpeg's RGBA64
// with the alpha moved to the front.
TEST(ImagePixelConverterTest, SixteenBitArgbPutsAlphaFirst) {
  TempDir dir;
  const std::string path = dir.File("picture.png");
  stilltest::MakePicture(path, "9x5", "rgba64be");
  GraphicsImporter importer;
  ASSERT_EQ(importer.OpenFile(path), PlaybackErr::Ok);
  stilltest::GuardedBuffer buffer(9, 5, MovFourCC("b64a"));
  ASSERT_EQ(importer.Draw(buffer.View()), PlaybackErr::Ok);
  std::vector<uint8_t> expected = stilltest::FfmpegPixels(path, 9, 5, "rgba64be");
  for (size_t pixel = 0; pixel + 8 <= expected.size(); pixel += 8) {
    std::rotate(expected.begin() + static_cast<ptrdiff_t>(pixel), expected.begin() + static_cast<ptrdiff_t>(pixel + 6),
                expected.begin() + static_cast<ptrdiff_t>(pixel + 8));
  }
  EXPECT_EQ(buffer.Pixels(), expected);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(ImagePixelConverterTest, UnusableBuffersAreRefusedBeforeDrawing) {
  uint8_t pixels[64] = {};
  struct Case {
    const char* what;
    ImageBuffer buffer;
    PlaybackErr expected;
  };
  const Case cases[] = {
      {"no memory", {nullptr, 4, 4, 16, 32}, PlaybackErr::BadArgument},
      {"zero width", {pixels, 0, 4, 16, 32}, PlaybackErr::BadArgument},
      {"negative height", {pixels, 4, -1, 16, 32}, PlaybackErr::BadArgument},
      {"rows too short", {pixels, 4, 4, 15, 32}, PlaybackErr::BadArgument},
      {"too wide", {pixels, 70000, 1, 280000, 32}, PlaybackErr::SizeLimitExceeded},
      {"too many pixels", {pixels, 60000, 60000, 240000, 32}, PlaybackErr::SizeLimitExceeded},
      {"Y'CbCrA with alpha", {pixels, 4, 4, 16, MovFourCC("v408")}, PlaybackErr::FeatureUnsupported},
      {"float RGB", {pixels, 1, 1, 12, MovFourCC("f32r")}, PlaybackErr::FeatureUnsupported},
      {"no such format", {pixels, 4, 4, 16, MovFourCC("none")}, PlaybackErr::FeatureUnsupported},
      {"fits", {pixels, 4, 4, 16, 32}, PlaybackErr::Ok},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ImagePixelConverter::CheckBuffer(c.buffer), c.expected) << c.what;
  }
}

// Every playback layout, converted at the frame's own size, against ffmpeg's own conversion of the same frame.
TEST(ImagePixelConverterTest, FrameLayoutsMatchFfmpegAtTheFrameSize) {
  if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
  const std::string& path = playtest::MoviePath(playtest::Fixture::Fps25);
  std::unique_ptr<VideoDecoder> decoder;
  ASSERT_EQ(VideoDecoder::Open(playtest::FileReference(path), 0, &decoder), PlaybackErr::Ok);
  ASSERT_EQ(decoder->SeekTo(0.4), PlaybackErr::Ok);
  DecodedFrame frame;
  ASSERT_EQ(decoder->ReadFrame(frame), PlaybackErr::Ok);
  EXPECT_NEAR(frame.seconds, 0.4, 1e-9);
  struct Case {
    VideoPixelFormat format;
    uint32_t code;
    const char* ffmpegName;
    size_t bytesPerPixel;
  };
  const Case cases[] = {
      {VideoPixelFormat::BGRA32, MovFourCC("BGRA"), "bgra", 4},
      {VideoPixelFormat::ARGB32, 32, "argb", 4},
      {VideoPixelFormat::RGBA32, MovFourCC("RGBA"), "rgba", 4},
      {VideoPixelFormat::ABGR32, MovFourCC("ABGR"), "abgr", 4},
      {VideoPixelFormat::RGB24, 24, "rgb24", 3},
      {VideoPixelFormat::BGR24, MovFourCC("24BG"), "bgr24", 3},
      {VideoPixelFormat::Gray8, 40, "gray", 1},
      {VideoPixelFormat::YUV422_2vuy, MovFourCC("2vuy"), "uyvy422", 2},
      {VideoPixelFormat::YUV422_yuvs, MovFourCC("yuvs"), "yuyv422", 2},
  };
  ImagePixelConverter converter;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.ffmpegName);
    VideoPixelFormat parsed;
    ASSERT_TRUE(VideoPixelFormatFromCode(test.code, &parsed));
    EXPECT_EQ(parsed, test.format);
    EXPECT_EQ(VideoPixelFormatCode(test.format), test.code);
    const size_t rowBytes = 64 * test.bytesPerPixel;
    ASSERT_EQ(VideoPixelFormatRowBytes(test.format, 64), rowBytes);
    // Rows padded by 16 bytes, which stay as they were.
    std::vector<uint8_t> out((rowBytes + 16) * 48, 0xEE);
    ASSERT_EQ(converter.ConvertFrame(frame.frame.get(), test.format, out.data(), out.size(), rowBytes + 16),
              PlaybackErr::Ok);
    const movtest::ToolResult expected =
        movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-ss", "0.4", "-i", path, "-frames:v", "1",
                          "-f", "rawvideo", "-pix_fmt", test.ffmpegName, "-"});
    ASSERT_EQ(expected.out.size(), rowBytes * 48);
    int largest = 0;
    bool paddingKept = true;
    for (size_t row = 0; row < 48; ++row) {
      for (size_t i = 0; i < rowBytes; ++i) {
        const int got = out[row * (rowBytes + 16) + i];
        const int want = static_cast<uint8_t>(expected.out[row * rowBytes + i]);
        largest = std::max(largest, std::abs(got - want));
      }
      for (size_t i = rowBytes; i < rowBytes + 16; ++i) paddingKept &= out[row * (rowBytes + 16) + i] == 0xEE;
    }
    EXPECT_LE(largest, 2);
    EXPECT_TRUE(paddingKept);
  }
  // Buffers and rows too small for the picture are refused before anything is written.
  std::vector<uint8_t> small(64 * 4 * 48 - 1, 0xEE);
  EXPECT_EQ(converter.ConvertFrame(frame.frame.get(), VideoPixelFormat::BGRA32, small.data(), small.size(), 64 * 4),
            PlaybackErr::BadArgument);
  EXPECT_EQ(converter.ConvertFrame(frame.frame.get(), VideoPixelFormat::BGRA32, small.data(), small.size(), 63 * 4),
            PlaybackErr::BadArgument);
  EXPECT_EQ(small.front(), 0xEE);
  EXPECT_EQ(converter.ConvertFrame(nullptr, VideoPixelFormat::BGRA32, small.data(), small.size(), 64 * 4),
            PlaybackErr::BadArgument);
  EXPECT_FALSE(VideoPixelFormatFromCode(MovFourCC("zzzz"), nullptr));
}

TEST(ImagePixelConverterTest, FrameSizeLimits) {
  EXPECT_TRUE(ImagePixelConverter::FrameSizeAllowed(3840, 1920));
  EXPECT_TRUE(ImagePixelConverter::FrameSizeAllowed(16384, 16384));
  EXPECT_FALSE(ImagePixelConverter::FrameSizeAllowed(16385, 2));
  EXPECT_FALSE(ImagePixelConverter::FrameSizeAllowed(0, 10));
  EXPECT_FALSE(ImagePixelConverter::FrameSizeAllowed(-4, 10));
  EXPECT_EQ(VideoPixelFormatRowBytes(VideoPixelFormat::YUV422_2vuy, 5), 12u);  // pairs of pixels
  EXPECT_EQ(VideoPixelFormatRowBytes(VideoPixelFormat::BGRA32, 16385), 0u);
}

}  // namespace
