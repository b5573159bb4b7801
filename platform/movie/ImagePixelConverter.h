#pragma once

#include <cstdint>
#include <vector>

#include "platform/movie/ImageBuffer.h"
#include "platform/movie/MovErr.h"

struct AVFrame;
struct SwsContext;

namespace hc::movie {

// Converts decoded pictures into a caller's buffer in a QuickTime pixel
// format, scaling them to fill it (libswscale). Formats without an FFmpeg
// counterpart ('5551', 'yuvu', 'v408', 'v308', 'r408', 'f32r', 'f32a') are
// refused with FeatureUnsupported.
//
// One converter serves one thread at a time; it keeps its scaler between
// pictures of the same size and format.
class ImagePixelConverter {
 public:
  ImagePixelConverter() = default;
  ~ImagePixelConverter();
  ImagePixelConverter(const ImagePixelConverter&) = delete;
  ImagePixelConverter& operator=(const ImagePixelConverter&) = delete;

  static bool SupportsPixelFormat(uint32_t pixelFormat);
  // Bytes one pixel takes in memory (2 for the 4:2:2 formats), 0 when unsupported.
  static uint32_t BytesPerPixel(uint32_t pixelFormat);
  // Checks a buffer before anything is drawn into it: a base address, a size
  // within the limits, a supported format and rows long enough for the width.
  static MovErr CheckBuffer(const ImageBuffer& buffer);

  // Draws `picture` scaled to the whole of `destination`. Only the bytes of
  // each row's `width` pixels are written, never the rest of a row.
  MovErr Convert(const AVFrame& picture, const ImageBuffer& destination);

 private:
  SwsContext* scaler_ = nullptr;
  AVFrame* scratch_ = nullptr;  // padded rows that the scaler writes into
};

}  // namespace hc::movie
