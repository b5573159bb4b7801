#include "platform/movie/PixelConverter.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "MovTestTools.h"
#include "PlaybackTestMovies.h"
#include "platform/movie/MovFourCC.h"
#include "platform/movie/VideoDecoder.h"

using hc::movie::DecodedFrame;
using hc::movie::PixelConverter;
using hc::movie::PlaybackErr;
using hc::movie::VideoDecoder;
using hc::movie::VideoPixelFormat;

namespace {

// Every layout the sources ask for, against ffmpeg's own conversion of the same frame.
TEST(PixelConverterTest, LayoutsMatchFfmpeg) {
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
      {VideoPixelFormat::BGRA32, hc::movie::MovFourCC("BGRA"), "bgra", 4},
      {VideoPixelFormat::ARGB32, 32, "argb", 4},
      {VideoPixelFormat::RGBA32, hc::movie::MovFourCC("RGBA"), "rgba", 4},
      {VideoPixelFormat::ABGR32, hc::movie::MovFourCC("ABGR"), "abgr", 4},
      {VideoPixelFormat::RGB24, 24, "rgb24", 3},
      {VideoPixelFormat::BGR24, hc::movie::MovFourCC("24BG"), "bgr24", 3},
      {VideoPixelFormat::Gray8, 40, "gray", 1},
      {VideoPixelFormat::YUV422_2vuy, hc::movie::MovFourCC("2vuy"), "uyvy422", 2},
      {VideoPixelFormat::YUV422_yuvs, hc::movie::MovFourCC("yuvs"), "yuyv422", 2},
  };
  PixelConverter converter;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.ffmpegName);
    VideoPixelFormat parsed;
    ASSERT_TRUE(hc::movie::VideoPixelFormatFromCode(test.code, &parsed));
    EXPECT_EQ(parsed, test.format);
    EXPECT_EQ(hc::movie::VideoPixelFormatCode(test.format), test.code);
    const size_t rowBytes = 64 * test.bytesPerPixel;
    ASSERT_EQ(hc::movie::VideoPixelFormatRowBytes(test.format, 64), rowBytes);
    // Rows padded by 16 bytes, which stay as they were.
    std::vector<uint8_t> out((rowBytes + 16) * 48, 0xEE);
    ASSERT_EQ(converter.Convert(frame.frame.get(), test.format, out.data(), out.size(), rowBytes + 16),
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
  EXPECT_EQ(converter.Convert(frame.frame.get(), VideoPixelFormat::BGRA32, small.data(), small.size(), 64 * 4),
            PlaybackErr::BadArgument);
  EXPECT_EQ(converter.Convert(frame.frame.get(), VideoPixelFormat::BGRA32, small.data(), small.size(), 63 * 4),
            PlaybackErr::BadArgument);
  EXPECT_EQ(small.front(), 0xEE);
  EXPECT_EQ(converter.Convert(nullptr, VideoPixelFormat::BGRA32, small.data(), small.size(), 64 * 4),
            PlaybackErr::BadArgument);
  EXPECT_FALSE(hc::movie::VideoPixelFormatFromCode(hc::movie::MovFourCC("zzzz"), nullptr));
}

TEST(PixelConverterTest, PictureSizeLimits) {
  EXPECT_TRUE(PixelConverter::SizeAllowed(3840, 1920));
  EXPECT_TRUE(PixelConverter::SizeAllowed(16384, 16384));
  EXPECT_FALSE(PixelConverter::SizeAllowed(16385, 2));
  EXPECT_FALSE(PixelConverter::SizeAllowed(0, 10));
  EXPECT_FALSE(PixelConverter::SizeAllowed(-4, 10));
  EXPECT_EQ(hc::movie::VideoPixelFormatRowBytes(VideoPixelFormat::YUV422_2vuy, 5), 12u);  // pairs of pixels
  EXPECT_EQ(hc::movie::VideoPixelFormatRowBytes(VideoPixelFormat::BGRA32, 16385), 0u);
}

}  // namespace
