#pragma once

#include <functional>
#include <memory>

#include "platform/gl/GlError.h"

namespace hc::gl {

class GlPixelFormat;

// A desktop OpenGL context (compatibility profile, so fixed-function drawing
// works) made from a pixel format, optionally sharing textures, buffers and
// renderbuffers with another context. A context is current on at most one
// thread at a time; it draws into off-screen drawables.
class GlContext {
 public:
  // shareWith may be null. The pixel format need not outlive the context.
  static GlError Create(const GlPixelFormat& format, const GlContext* shareWith,
                        std::unique_ptr<GlContext>* out);

  // A context the window system made for a window (the player view's): this
  // layer makes it current, releases it and presents it only through these
  // calls, which run on the calling thread. makeCurrent answers false when it
  // fails; present shows what was drawn (a buffer swap).
  struct ExternalCalls {
    std::function<bool()> makeCurrent;
    std::function<void()> doneCurrent;
    std::function<void()> present;
  };
  static GlError CreateExternal(ExternalCalls calls, std::unique_ptr<GlContext>* out);

  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;
  // Releases the context from the calling thread first when it is current there.
  ~GlContext();

  // Makes this context current on the calling thread (fails while it is
  // current on another one).
  GlError MakeCurrent();
  // Leaves the calling thread without a current context.
  static GlError ClearCurrent();
  // The context current on the calling thread, or null.
  static GlContext* Current();

  // The swap interval is kept here: the headless backend has no getter for it.
  // Negative intervals are refused.
  GlError SetSwapInterval(int interval);
  int SwapInterval() const;

  // Hands the drawn commands to the renderer (for a window's context: shows
  // them); needs this context current.
  GlError FlushBuffer();

 private:
  struct Impl;
  explicit GlContext(std::unique_ptr<Impl> impl);
  // Releases the window system's context current on this thread, if any.
  static void ReleaseExternalCurrent();

  std::unique_ptr<Impl> impl_;
};

}  // namespace hc::gl
