#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/platform/movfile/MovTestTools.h"
#include "platform/playback/ImageBuffer.h"
#include "platform/playback/PlaybackErr.h"

// Helpers of the still-image tests: pictures made with ffmpeg, ffmpeg's own
// conversion of them for comparison, and pixel buffers with guard bytes.
namespace stilltest {

// The scaler settings the image code uses, for ffmpeg to convert the same way.
inline const char* kScaleFlags = "bicubic+accurate_rnd+full_chroma_int";

// One frame of ffmpeg's test pattern, `size` as "WxH", written to `path`
// (the extension picks the format) in ffmpeg's pixel format `pixelFormat`.
void MakePicture(const std::string& path, const std::string& size, const std::string& pixelFormat,
                 const std::string& pattern = "testsrc");

// ffmpeg's decoding of `path`, scaled to width x height and converted to
// ffmpeg's pixel format `pixelFormat`, as raw rows without padding.
std::vector<uint8_t> FfmpegPixels(const std::string& path, int width, int height, const std::string& pixelFormat);

// The largest difference between two byte strings of the same length (256
// when the lengths differ).
int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// A pixel buffer over a byte vector with guard bytes after every row, so a
// test sees whether anything wrote past a row's pixels.
class GuardedBuffer {
 public:
  static constexpr uint8_t kGuard = 0xA5;
  GuardedBuffer(int width, int height, uint32_t pixelFormat, int guardBytes = 8);
  hc::playback::ImageBuffer& View() { return view_; }
  // The rows' pixels without the guard bytes.
  std::vector<uint8_t> Pixels() const;
  bool GuardsIntact() const;

 private:
  std::vector<uint8_t> bytes_;
  size_t rowLength_ = 0;
  hc::playback::ImageBuffer view_;
};

}  // namespace stilltest

namespace hc::playback {
// Names the layer's codes in test failures ("CodecDataCorrupt").
void PrintTo(PlaybackErr err, std::ostream* out);
}  // namespace hc::playback
