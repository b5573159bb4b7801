#include "platform/gl/GlPixelFormat.h"

#include <EGL/egl.h>

#include <climits>
#include <vector>

#include "platform/gl/EglDisplay.h"

namespace hc::gl {

namespace {

constexpr int kChannelBits = 8;

EGLint ConfigValue(EGLDisplay display, EGLConfig config, EGLint attribute) {
  EGLint value = 0;
  eglGetConfigAttrib(display, config, attribute, &value);
  return value;
}

bool HasEightBitColour(EGLDisplay display, EGLConfig config) {
  return ConfigValue(display, config, EGL_RED_SIZE) == kChannelBits &&
         ConfigValue(display, config, EGL_GREEN_SIZE) == kChannelBits &&
         ConfigValue(display, config, EGL_BLUE_SIZE) == kChannelBits;
}

GlError CheckAttributes(const GlPixelFormat::Attributes& attributes) {
  if (attributes.colorSize < 0 || attributes.alphaSize < 0 || attributes.depthSize < 0) {
    return GlError::BadArgument;
  }
  const bool colourOffered =
      attributes.colorSize == 0 || attributes.colorSize == 24 || attributes.colorSize == 32;
  if (!colourOffered || attributes.alphaSize > kChannelBits || attributes.depthSize > 32) {
    return GlError::NoMatchingFormat;
  }
  return GlError::None;
}

// EGL sorts deeper colour first; we want exactly 8-bit channels and the least
// alpha and depth that satisfy the request.
EGLConfig ChooseConfig(EGLDisplay display, const GlPixelFormat::Attributes& attributes) {
  const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                           EGL_SURFACE_TYPE,    EGL_PBUFFER_BIT,
                           EGL_RED_SIZE,        kChannelBits,
                           EGL_GREEN_SIZE,      kChannelBits,
                           EGL_BLUE_SIZE,       kChannelBits,
                           EGL_ALPHA_SIZE,      attributes.alphaSize,
                           EGL_DEPTH_SIZE,      attributes.depthSize,
                           EGL_NONE};
  EGLint count = 0;
  if (eglChooseConfig(display, wanted, nullptr, 0, &count) != EGL_TRUE || count <= 0) {
    return nullptr;
  }
  std::vector<EGLConfig> configs(static_cast<size_t>(count));
  if (eglChooseConfig(display, wanted, configs.data(), count, &count) != EGL_TRUE) return nullptr;
  EGLConfig best = nullptr;
  long bestExcess = LONG_MAX;
  for (EGLint i = 0; i < count; ++i) {
    EGLConfig config = configs[static_cast<size_t>(i)];
    if (!HasEightBitColour(display, config)) continue;
    const long excess = 64L * (ConfigValue(display, config, EGL_ALPHA_SIZE) - attributes.alphaSize) +
                        (ConfigValue(display, config, EGL_DEPTH_SIZE) - attributes.depthSize);
    if (excess < bestExcess) {
      best = config;
      bestExcess = excess;
    }
  }
  return best;
}

}  // namespace

GlError GlPixelFormat::Create(const Attributes& attributes, std::unique_ptr<GlPixelFormat>* out) {
  if (out == nullptr) return GlError::BadArgument;
  out->reset();
  if (GlError error = CheckAttributes(attributes); error != GlError::None) return error;
  EglDisplay* display = nullptr;
  if (GlError error = EglDisplay::Get(&display); error != GlError::None) return error;
  EGLConfig config = ChooseConfig(display->Handle(), attributes);
  if (config == nullptr) return GlError::NoMatchingFormat;
  out->reset(new GlPixelFormat(attributes, display, config));
  return GlError::None;
}

GlPixelFormat::GlPixelFormat(const Attributes& attributes, EglDisplay* display, void* config)
    : attributes_(attributes), display_(display), config_(config) {
  alphaSize_ = ConfigValue(display_->Handle(), config_, EGL_ALPHA_SIZE);
  depthSize_ = ConfigValue(display_->Handle(), config_, EGL_DEPTH_SIZE);
}

GlPixelFormat::~GlPixelFormat() = default;

}  // namespace hc::gl
