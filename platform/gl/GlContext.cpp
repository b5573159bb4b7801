#include "platform/gl/GlContext.h"

#include <EGL/egl.h>
#include <GL/gl.h>

#include <atomic>
#include <mutex>
#include <utility>
#include <unordered_map>

#include "platform/gl/EglDisplay.h"
#include "platform/gl/GlPixelFormat.h"

namespace hc::gl {

struct GlContext::Impl {
  EglDisplay* display = nullptr;
  EGLContext context = EGL_NO_CONTEXT;
  EGLSurface surface = EGL_NO_SURFACE;  // only where the display cannot go surfaceless
  std::atomic<int> swapInterval{0};
  ExternalCalls external;  // set for a window system's context, which has no EGL handle
  bool IsExternal() const { return static_cast<bool>(external.makeCurrent); }
};

namespace {

// Maps the EGL handles of live contexts to their objects, so that the current
// context of a thread can be answered from EGL's own per-thread state.
std::mutex gRegistryMutex;
std::unordered_map<EGLContext, GlContext*> gRegistry;

// The window system's context current on this thread, made so through this
// layer (EGL knows nothing of it).
thread_local GlContext* tExternalCurrent = nullptr;

// EGL keeps the current context per thread and per client API; every call here
// is about desktop OpenGL, whatever the thread had bound before.
class DesktopApiScope {
 public:
  DesktopApiScope() : previous_(eglQueryAPI()) {
    if (previous_ != EGL_OPENGL_API) eglBindAPI(EGL_OPENGL_API);
  }
  ~DesktopApiScope() {
    if (previous_ != EGL_OPENGL_API && previous_ != EGL_NONE) eglBindAPI(previous_);
  }
  DesktopApiScope(const DesktopApiScope&) = delete;
  DesktopApiScope& operator=(const DesktopApiScope&) = delete;

 private:
  EGLenum previous_;
};

}  // namespace

GlError GlContext::Create(const GlPixelFormat& format, const GlContext* shareWith,
                          std::unique_ptr<GlContext>* out) {
  if (out == nullptr) return GlError::BadArgument;
  out->reset();
  auto impl = std::make_unique<Impl>();
  impl->display = format.display_;
  const EGLDisplay display = impl->display->Handle();
  const EGLConfig config = format.config_;

  const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                               EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  {
    DesktopApiScope api;
    impl->context = eglCreateContext(display, config,
                                     shareWith != nullptr ? shareWith->impl_->context : EGL_NO_CONTEXT,
                                     attributes);
  }
  if (impl->context == EGL_NO_CONTEXT) return GlError::ContextCreationFailed;
  if (!impl->display->SupportsSurfaceless()) {
    const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    impl->surface = eglCreatePbufferSurface(display, config, size);
    if (impl->surface == EGL_NO_SURFACE) {
      eglDestroyContext(display, impl->context);
      return GlError::ContextCreationFailed;
    }
  }
  out->reset(new GlContext(std::move(impl)));
  return GlError::None;
}

GlError GlContext::CreateExternal(ExternalCalls calls, std::unique_ptr<GlContext>* out) {
  if (out == nullptr) return GlError::BadArgument;
  out->reset();
  if (!calls.makeCurrent || !calls.doneCurrent || !calls.present) return GlError::BadArgument;
  auto impl = std::make_unique<Impl>();
  impl->external = std::move(calls);
  out->reset(new GlContext(std::move(impl)));
  return GlError::None;
}

GlContext::GlContext(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
  if (impl_->IsExternal()) return;
  std::lock_guard<std::mutex> lock(gRegistryMutex);
  gRegistry[impl_->context] = this;
}

void GlContext::ReleaseExternalCurrent() {
  GlContext* current = std::exchange(tExternalCurrent, nullptr);
  if (current != nullptr) current->impl_->external.doneCurrent();
}

GlContext::~GlContext() {
  if (impl_->IsExternal()) {
    if (tExternalCurrent == this) ReleaseExternalCurrent();
    return;
  }
  {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    gRegistry.erase(impl_->context);
  }
  const EGLDisplay display = impl_->display->Handle();
  {
    DesktopApiScope api;
    if (eglGetCurrentContext() == impl_->context) {
      eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
  }
  // A context still current on another thread is freed by EGL once released there.
  eglDestroyContext(display, impl_->context);
  if (impl_->surface != EGL_NO_SURFACE) eglDestroySurface(display, impl_->surface);
}

GlError GlContext::MakeCurrent() {
  if (impl_->IsExternal()) {
    if (tExternalCurrent == this) return GlError::None;
    ReleaseExternalCurrent();
    ClearCurrent();
    if (!impl_->external.makeCurrent()) return GlError::MakeCurrentFailed;
    tExternalCurrent = this;
    return GlError::None;
  }
  ReleaseExternalCurrent();
  DesktopApiScope api;
  const EGLBoolean made = eglMakeCurrent(impl_->display->Handle(), impl_->surface,
                                         impl_->surface, impl_->context);
  return made == EGL_TRUE ? GlError::None : GlError::MakeCurrentFailed;
}

GlError GlContext::ClearCurrent() {
  ReleaseExternalCurrent();
  DesktopApiScope api;
  const EGLDisplay display = eglGetCurrentDisplay();
  if (display == EGL_NO_DISPLAY) return GlError::None;
  const EGLBoolean released =
      eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  return released == EGL_TRUE ? GlError::None : GlError::MakeCurrentFailed;
}

GlContext* GlContext::Current() {
  if (tExternalCurrent != nullptr) return tExternalCurrent;
  EGLContext current;
  {
    DesktopApiScope api;
    current = eglGetCurrentContext();
  }
  if (current == EGL_NO_CONTEXT) return nullptr;
  std::lock_guard<std::mutex> lock(gRegistryMutex);
  auto found = gRegistry.find(current);
  return found == gRegistry.end() ? nullptr : found->second;
}

// Off-screen drawing has no window surface to pace, so the interval is only
// kept for the caller; a window backend applies it to its surface.
GlError GlContext::SetSwapInterval(int interval) {
  if (interval < 0) return GlError::BadArgument;
  impl_->swapInterval.store(interval);
  return GlError::None;
}

int GlContext::SwapInterval() const { return impl_->swapInterval.load(); }

GlError GlContext::FlushBuffer() {
  if (Current() != this) return GlError::NoCurrentContext;
  if (impl_->IsExternal()) {
    impl_->external.present();
    return GlError::None;
  }
  glFlush();
  return GlError::None;
}

}  // namespace hc::gl
