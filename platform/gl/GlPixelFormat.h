#pragma once

#include <memory>

#include "platform/gl/GlError.h"

namespace hc::gl {

class EglDisplay;

// A choice of frame-buffer configuration from which contexts are made. The
// headless backend offers 8-bit colour channels; drawing goes into off-screen
// drawables, so the double-buffer attribute is kept for the caller but does not
// change the configuration.
class GlPixelFormat {
 public:
  struct Attributes {
    bool doubleBuffer = false;
    int colorSize = 32;  // bits of colour per pixel: 0 (any), 24 or 32 (with padding or alpha)
    int alphaSize = 0;   // at least this many alpha bits
    int depthSize = 16;  // at least this many depth bits
    bool offscreen = false;
  };

  static GlError Create(const Attributes& attributes, std::unique_ptr<GlPixelFormat>* out);

  GlPixelFormat(const GlPixelFormat&) = delete;
  GlPixelFormat& operator=(const GlPixelFormat&) = delete;
  ~GlPixelFormat();

  const Attributes& RequestedAttributes() const { return attributes_; }
  // Sizes of the configuration actually chosen.
  int AlphaSize() const { return alphaSize_; }
  int DepthSize() const { return depthSize_; }

 private:
  friend class GlContext;

  GlPixelFormat(const Attributes& attributes, EglDisplay* display, void* config);

  Attributes attributes_;
  EglDisplay* display_;
  void* config_;
  int alphaSize_ = 0;
  int depthSize_ = 0;
};

}  // namespace hc::gl
