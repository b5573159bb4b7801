#pragma once

#include <cstddef>

#include "platform/gl/GlError.h"

namespace hc::gl {

// Copies drawn pixels into a caller's memory, top row first, four bytes a
// pixel, rows rowBytes apart.
class GlReadBack {
 public:
  enum class ByteOrder {
    ARGB,  // bytes A, R, G, B: the renderer's 32-bit ARGB frames
    BGRA,  // bytes B, G, R, A
  };

  // Reads width x height pixels from the lower-left corner of the read
  // framebuffer bound in the current context. The pixel-pack state of the
  // context is left as it was.
  static GlError ReadFramebuffer(int width, int height, ByteOrder order, void* buffer,
                                 size_t bufferSize, size_t rowBytes);

  // Whether a buffer of bufferSize bytes with rows rowBytes apart holds
  // width x height pixels.
  static GlError CheckBuffer(int width, int height, const void* buffer, size_t bufferSize,
                             size_t rowBytes);
};

}  // namespace hc::gl
