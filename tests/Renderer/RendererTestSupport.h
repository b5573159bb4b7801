#pragma once

#include <GL/gl.h>

#include <memory>
#include <vector>

#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Renderer/GLVertexBuffer.h"
#include "Renderer/HcTexture.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlOffscreenDrawable.h"
#include "platform/gl/GlPixelFormat.h"

// A renderer drawing into an off-screen drawable of its own context, made
// current on the calling thread (EGL on Mesa, no display).
struct DrawingRenderer {
  std::unique_ptr<hc::gl::GlPixelFormat> format;
  std::unique_ptr<hc::gl::GlContext> context;
  std::unique_ptr<hc::gl::GlOffscreenDrawable> drawable;
  KsRef<AppleOpenGLRenderer> renderer;

  bool Make(int width, int height) {
    RegisterAllClasses();
    using hc::gl::GlError;
    if (hc::gl::GlPixelFormat::Create({true, 32, 8, 16, true}, &format) != GlError::None) return false;
    if (hc::gl::GlContext::Create(*format, nullptr, &context) != GlError::None) return false;
    if (context->MakeCurrent() != GlError::None) return false;
    if (hc::gl::GlOffscreenDrawable::Create(width, height, &drawable) != GlError::None) return false;
    if (drawable->Bind() != GlError::None) return false;
    renderer = KsMakeRef<AppleOpenGLRenderer>();
    renderer->SetGlContext(context.get());
    renderer->SetGlPixelFormat(format.get());
    renderer->SetDrawableRect(0, 0, width, height);
    return true;
  }

  // Objects that hold OpenGL names go while the context is still current.
  ~DrawingRenderer() {
    renderer = nullptr;
    drawable.reset();
  }

  // The drawn frame as the renderer reads it back: bytes A, R, G, B, top row first.
  std::vector<uint8_t> ReadARGB() {
    const int width = drawable->Width();
    const int height = drawable->Height();
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
    const uint32_t format32 = 32;
    renderer->CopyFrameBuffer(&format32, pixels.data(), width, height, width * 4);
    return pixels;
  }
};

// Draws the whole of a texture over the whole drawable, image top at the top,
// through the renderer's own operations.
inline eAppErr DrawTextureFlat(PanoRenderer& renderer, HcTexture& texture, int width, int height) {
  KsRef<HcVertexBuffer> quad = renderer.CreateVertexBuffer(4, 1);
  if (!quad) return -1;
  const float corners[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  for (uint32_t i = 0; i < 4; ++i) {
    KsPointF st;
    if (eAppErr err = texture.ImagePointToTexture({corners[i][0], corners[i][1]}, &st); err < 0) return err;
    quad->SetVertexXYZ(0, i, corners[i][0] * static_cast<float>(width), corners[i][1] * static_cast<float>(height),
                       0.0f);
    quad->SetVertexTexCoords(0, i, st);
  }
  quad->UnlockBuffer();
  renderer.Ortho2D(KsRectF(0, 0, static_cast<float>(width), static_cast<float>(height)), true);
  renderer.ModelViewIdentity();
  renderer.SetDepthFunc(6);
  if (eAppErr err = texture.Activate(); err < 0) return err;
  const eAppErr err = quad->Draw();
  texture.Deactivate();
  return err;
}
