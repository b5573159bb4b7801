#include "platform/gl/EglDisplay.h"

#include <EGL/eglext.h>

#include <cstring>
#include <mutex>
#include <vector>

namespace hc::gl {

namespace {

std::mutex gDisplayMutex;
EglDisplay* gDisplay = nullptr;  // never freed: see the class comment

bool ClientHasExtension(const char* name) {
  return EglListHasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), name);
}

EGLDisplay InitializedOrNone(EGLDisplay display) {
  if (display == EGL_NO_DISPLAY) return EGL_NO_DISPLAY;
  EGLint major = 0;
  EGLint minor = 0;
  return eglInitialize(display, &major, &minor) == EGL_TRUE ? display : EGL_NO_DISPLAY;
}

EGLDisplay OpenFirstDevice() {
  auto queryDevices =
      reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  if (queryDevices == nullptr) return EGL_NO_DISPLAY;
  EGLint count = 0;
  if (queryDevices(0, nullptr, &count) != EGL_TRUE || count <= 0) return EGL_NO_DISPLAY;
  std::vector<EGLDeviceEXT> devices(static_cast<size_t>(count));
  if (queryDevices(count, devices.data(), &count) != EGL_TRUE) return EGL_NO_DISPLAY;
  for (EGLint i = 0; i < count; ++i) {
    EGLDisplay display = InitializedOrNone(
        eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[static_cast<size_t>(i)], nullptr));
    if (display != EGL_NO_DISPLAY) return display;
  }
  return EGL_NO_DISPLAY;
}

// Headless first: the tests and the off-screen helper must work without X or Wayland.
EGLDisplay OpenDisplay() {
  if (ClientHasExtension("EGL_MESA_platform_surfaceless")) {
    EGLDisplay display = InitializedOrNone(
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr));
    if (display != EGL_NO_DISPLAY) return display;
  }
  if (ClientHasExtension("EGL_EXT_platform_device")) {
    EGLDisplay display = OpenFirstDevice();
    if (display != EGL_NO_DISPLAY) return display;
  }
  return InitializedOrNone(eglGetDisplay(EGL_DEFAULT_DISPLAY));
}

}  // namespace

bool EglListHasExtension(const char* list, const std::string& name) {
  if (list == nullptr || name.empty()) return false;
  const char* cursor = list;
  while ((cursor = std::strstr(cursor, name.c_str())) != nullptr) {
    const bool startsWord = cursor == list || cursor[-1] == ' ';
    const char after = cursor[name.size()];
    if (startsWord && (after == ' ' || after == '\0')) return true;
    cursor += name.size();
  }
  return false;
}

GlError EglDisplay::Get(EglDisplay** out) {
  if (out == nullptr) return GlError::BadArgument;
  std::lock_guard<std::mutex> lock(gDisplayMutex);
  if (gDisplay == nullptr) {
    EGLDisplay handle = OpenDisplay();
    if (handle == EGL_NO_DISPLAY) return GlError::NoDisplay;
    gDisplay = new EglDisplay(handle);
  }
  *out = gDisplay;
  return GlError::None;
}

EglDisplay::EglDisplay(EGLDisplay display) : display_(display) {
  surfaceless_ =
      EglListHasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context");
}

}  // namespace hc::gl

