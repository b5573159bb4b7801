#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/movie/PlaybackErr.h"

struct AVFrame;
struct SwsContext;

namespace hc::movie {

// Pixel layouts the sources ask for, by byte order in memory.
enum class VideoPixelFormat {
  BGRA32,       // 'BGRA'
  ARGB32,       // 32 (QuickTime's 32-bit ARGB)
  RGBA32,       // 'RGBA'
  ABGR32,       // 'ABGR'
  RGB24,        // 24
  BGR24,        // '24BG'
  Gray8,        // 40 (8-bit grey)
  YUV422_2vuy,  // '2vuy' (Cb Y0 Cr Y1)
  YUV422_yuvs,  // 'yuvs' (Y0 Cb Y1 Cr)
};

// The format of a QuickTime pixel-format code; false for codes not listed above.
bool VideoPixelFormatFromCode(uint32_t code, VideoPixelFormat* out);
uint32_t VideoPixelFormatCode(VideoPixelFormat format);
// Bytes one row of `width` pixels takes (without padding); 0 past the limits.
size_t VideoPixelFormatRowBytes(VideoPixelFormat format, int width);

// Converts decoded frames with libswscale into a caller's buffer. Keeps its
// scaling context between calls of the same geometry. One thread at a time.
class PixelConverter {
 public:
  // Widest and tallest picture converted; pictures above 2^28 pixels are refused too.
  static constexpr int kMaxDimension = 16384;
  static constexpr int64_t kMaxPixels = int64_t{1} << 28;

  PixelConverter() = default;
  PixelConverter(const PixelConverter&) = delete;
  PixelConverter& operator=(const PixelConverter&) = delete;
  ~PixelConverter();

  // Threads libswscale may use (0: one per processor); takes effect on the next context.
  void SetThreadCount(int threads) { threads_ = threads; }

  // Writes the whole frame, top row first, rows rowBytes apart, into a buffer
  // of bufferSize bytes; refuses a buffer too small for it.
  PlaybackErr Convert(const AVFrame* frame, VideoPixelFormat format, uint8_t* buffer, size_t bufferSize,
                      size_t rowBytes);

  // Whether a picture of that size is within the limits above.
  static bool SizeAllowed(int width, int height);

 private:
  struct Geometry {
    int width = 0;
    int height = 0;
    int source = -1;
    int target = -1;
    bool fullRange = false;
    bool operator==(const Geometry&) const = default;
  };
  PlaybackErr MakeContext(const Geometry& geometry);

  SwsContext* context_ = nullptr;
  Geometry geometry_;
  int threads_ = 0;
};

}  // namespace hc::movie
