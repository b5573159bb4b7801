#pragma once

#include <cstddef>
#include <memory>

#include "platform/gl/GlError.h"
#include "platform/gl/GlReadBack.h"

namespace hc::gl {

class GlContext;

// An off-screen surface to draw into: a framebuffer object with an 8-bit RGBA
// colour buffer and a 16-bit depth buffer. It belongs to the context that was
// current when it was made; every call, the destructor included, expects that
// context current on the calling thread (otherwise the destructor leaves the
// objects to be freed with the context).
class GlOffscreenDrawable {
 public:
  static GlError Create(int width, int height, std::unique_ptr<GlOffscreenDrawable>* out);

  GlOffscreenDrawable(const GlOffscreenDrawable&) = delete;
  GlOffscreenDrawable& operator=(const GlOffscreenDrawable&) = delete;
  ~GlOffscreenDrawable();

  // New storage of the given size; the contents are undefined until drawn.
  GlError Resize(int width, int height);
  // Directs drawing and reading of the context to this drawable.
  GlError Bind();
  // Back to the context's default framebuffer.
  static void Unbind();

  // The whole drawable, top row first, into rows rowBytes apart.
  GlError ReadPixels(GlReadBack::ByteOrder order, void* buffer, size_t bufferSize,
                     size_t rowBytes) const;

  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  GlOffscreenDrawable(GlContext* context, unsigned framebuffer, unsigned colour, unsigned depth);
  GlError CheckContext() const;
  GlError AllocateStorage(int width, int height);

  GlContext* context_;
  unsigned framebuffer_;
  unsigned colour_;
  unsigned depth_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace hc::gl
