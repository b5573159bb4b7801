#pragma once

#include <cstdint>

namespace hc::playback {

// Limits on what the image code accepts from files: the 16-bit sizes of an
// image description, a pixel count that a 16384 x 8192 panorama still fits,
// and the compressed bytes of one image or frame.
constexpr int32_t kMaxImageSide = 65535;
#ifdef HC_MAX_IMAGE_PIXELS
constexpr uint64_t kMaxImagePixels = HC_MAX_IMAGE_PIXELS;  // the fuzz build keeps pictures small
#else
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 27;
#endif
constexpr uint64_t kMaxImageDataBytes = uint64_t{256} << 20;

// A caller's pixel buffer that still images and decompressed frames are drawn
// into: `height` rows of `rowBytes` bytes at `base`, pixels in a QuickTime
// pixel-format code (32 for ARGB, '2vuy', 'RGBA', ...). The caller owns the
// memory and keeps it alive while anything draws into it.
struct ImageBuffer {
  uint8_t* base = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int64_t rowBytes = 0;
  uint32_t pixelFormat = 0;
};

}  // namespace hc::playback
