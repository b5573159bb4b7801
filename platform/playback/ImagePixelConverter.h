#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/playback/ImageBuffer.h"
#include "platform/playback/PlaybackErr.h"

struct AVFrame;
struct SwsContext;

namespace hc::playback {

// Pixel layouts the playback code asks for, by byte order in memory; each is
// one of the QuickTime codes the converter takes.
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

// The layout of a QuickTime pixel-format code; false for codes not listed above.
bool VideoPixelFormatFromCode(uint32_t code, VideoPixelFormat* out);
uint32_t VideoPixelFormatCode(VideoPixelFormat format);
// Bytes one row of `width` frame pixels takes (without padding, 4:2:2 rows
// rounded up to a whole pair); 0 past the frame limits.
size_t VideoPixelFormatRowBytes(VideoPixelFormat format, int width);

// Converts decoded pictures into a caller's buffer in a QuickTime pixel
// format, scaling them to fill it (libswscale). Formats without an FFmpeg
// counterpart ('5551', 'yuvu', 'v408', 'v308', 'r408', 'f32r', 'f32a') are
// refused with FeatureUnsupported.
//
// Playback frames are converted at their own size instead (ConvertFrame),
// with the scaler spreading the rows over its threads.
//
// One converter serves one thread at a time; it keeps its scalers between
// pictures of the same size and format.
class ImagePixelConverter {
 public:
  // Widest and tallest playback frame converted; frames above 2^28 pixels are refused too.
  static constexpr int kMaxFrameSide = 16384;
  static constexpr int64_t kMaxFramePixels = int64_t{1} << 28;

  ImagePixelConverter() = default;
  ~ImagePixelConverter();
  ImagePixelConverter(const ImagePixelConverter&) = delete;
  ImagePixelConverter& operator=(const ImagePixelConverter&) = delete;

  static bool SupportsPixelFormat(uint32_t pixelFormat);
  // Bytes one pixel takes in memory (2 for the 4:2:2 formats), 0 when unsupported.
  static uint32_t BytesPerPixel(uint32_t pixelFormat);
  // Checks a buffer before anything is drawn into it: a base address, a size
  // within the limits, a supported format and rows long enough for the width.
  static PlaybackErr CheckBuffer(const ImageBuffer& buffer);

  // Draws `picture` scaled to the whole of `destination`. Only the bytes of
  // each row's `width` pixels are written, never the rest of a row.
  PlaybackErr Convert(const AVFrame& picture, const ImageBuffer& destination);

  // Whether a playback frame of that size is within the frame limits above.
  static bool FrameSizeAllowed(int width, int height);
  // Threads the frame scaler may use (0: one per processor); takes effect on its next context.
  void SetThreadCount(int threads) { threads_ = threads; }
  // Writes the whole frame at its own size, top row first, rows rowBytes
  // apart, into a buffer of bufferSize bytes; refuses a buffer too small for
  // it. Bytes past each row's pixels stay as they were.
  PlaybackErr ConvertFrame(const AVFrame* frame, VideoPixelFormat format, uint8_t* buffer, size_t bufferSize,
                      size_t rowBytes);

 private:
  struct FrameGeometry {
    int width = 0;
    int height = 0;
    int source = -1;
    int target = -1;
    bool fullRange = false;
    bool operator==(const FrameGeometry&) const = default;
  };
  PlaybackErr MakeFrameScaler(const FrameGeometry& geometry);

  SwsContext* scaler_ = nullptr;
  AVFrame* scratch_ = nullptr;  // padded rows that the scaler writes into
  SwsContext* frameScaler_ = nullptr;
  FrameGeometry frameGeometry_;
  int threads_ = 0;
};

}  // namespace hc::playback
