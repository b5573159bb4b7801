#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gl/GlContext.h"
#include "platform/gl/GlError.h"
#include "platform/gl/GlOffscreenDrawable.h"
#include "platform/gl/GlPixelFormat.h"

namespace hc::gl::test {

// A pixel format and a context made current on the calling thread.
struct CurrentContext {
  std::unique_ptr<GlPixelFormat> format;
  std::unique_ptr<GlContext> context;

  GlError Make(const GlContext* shareWith = nullptr) {
    if (GlError e = GlPixelFormat::Create({true, 32, 8, 16, true}, &format); e != GlError::None) {
      return e;
    }
    if (GlError e = GlContext::Create(*format, shareWith, &context); e != GlError::None) return e;
    return context->MakeCurrent();
  }
};

using Pixel = std::array<uint8_t, 4>;

inline Pixel PixelAt(const std::vector<uint8_t>& buffer, size_t rowBytes, int x, int y) {
  const size_t at = static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * 4;
  return {buffer[at], buffer[at + 1], buffer[at + 2], buffer[at + 3]};
}

// Reads a whole drawable with tightly packed rows.
inline std::vector<uint8_t> ReadAll(const GlOffscreenDrawable& drawable, GlReadBack::ByteOrder order,
                                    GlError* result = nullptr) {
  const size_t rowBytes = static_cast<size_t>(drawable.Width()) * 4;
  std::vector<uint8_t> buffer(rowBytes * static_cast<size_t>(drawable.Height()), 0xEE);
  const GlError e = drawable.ReadPixels(order, buffer.data(), buffer.size(), rowBytes);
  if (result != nullptr) *result = e;
  return buffer;
}

inline void ClearTo(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A full-drawable quad in normalised device coordinates showing the whole of
// the bound 2D texture, drawn with the fixed-function pipeline.
inline void DrawTexturedQuad() {
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0); glVertex2f(-1, -1);
  glTexCoord2f(1, 0); glVertex2f(1, -1);
  glTexCoord2f(0, 1); glVertex2f(-1, 1);
  glTexCoord2f(1, 1); glVertex2f(1, 1);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

// A 2 x 2 texture sampled without filtering; texels given bottom row first.
inline GLuint MakeTexture(const std::array<Pixel, 4>& rgbaTexels) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgbaTexels.data());
  return texture;
}

}  // namespace hc::gl::test
