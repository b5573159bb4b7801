#pragma once

#include <EGL/egl.h>

#include <string>

#include "platform/gl/GlError.h"

namespace hc::gl {

// The process's EGL display, shared by every pixel format and context. It is
// opened on first use without any window system (Mesa's surfaceless platform,
// else the first EGL device, else the default display) and stays open until
// the process exits: terminating and opening it again reloads the driver,
// which leaks inside the driver each time. Internal to this layer.
class EglDisplay {
 public:
  static GlError Get(EglDisplay** out);

  EglDisplay(const EglDisplay&) = delete;
  EglDisplay& operator=(const EglDisplay&) = delete;

  EGLDisplay Handle() const { return display_; }
  // Contexts can be made current without any surface.
  bool SupportsSurfaceless() const { return surfaceless_; }

 private:
  explicit EglDisplay(EGLDisplay display);

  EGLDisplay display_;
  bool surfaceless_ = false;
};

// Whether a space-separated extension list names the extension as a whole word.
bool EglListHasExtension(const char* list, const std::string& name);

}  // namespace hc::gl
