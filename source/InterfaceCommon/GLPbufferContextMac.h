#pragma once

#include <memory>

#include "InterfaceCommon/HcViewHelper.h"

namespace hc::gl {
class GlContext;
class GlOffscreenDrawable;
class GlPixelFormat;
}  // namespace hc::gl

// The view helper that draws off screen: an OpenGL context and pixel format
// of its own and an off-screen drawable of the frame's size, from which the
// drawn picture is copied into a caller's buffer. Tests look at whole scenes
// through it.
//
// Its renderer is configured with the helper's context and pixel format as
// soon as it is set (the default one included), so it draws into the
// helper's drawable from the first frame. Every OpenGL object it holds is
// freed with its own context current, also when the helper is destroyed
// without ReleaseGLResources. All calls belong on one thread at a time: the
// helper makes its context current on the calling thread.
class GLPbufferContextMac : public HcViewHelper {
  HC_CLASS_HEADER(GLPbufferContextMac)
 public:
  GLPbufferContextMac();
  ~GLPbufferContextMac() override;

  // Whether the context was made (it is made at construction).
  bool GetContextCreated() const { return static_cast<bool>(m_glContext); }
  bool GetRendererConfigured() const { return m_rendererConfigured; }

  eAppErr SetActive(bool active) override;
  eAppErr SetRenderer(const KsRef<PanoRenderer>& renderer) override;
  eAppErr Draw() override;
  // A new drawable of width x height (none for an empty size), then the base
  // resize.
  eAppErr Resize(int32_t x, int32_t y, int32_t width, int32_t height) override;
  void ReleaseGLResources() override;
  // Copies the whole drawable, as last drawn, into the port; false (and the
  // port untouched) when nothing was drawn since the drawable was made, or
  // the port can't hold the picture.
  bool CopyFrameBufferToRenderPort(const HcRenderPort& port) override;

 private:
  eAppErr MakeGlContext();
  eAppErr MakeCurrent(const char* method);
  void ConfigureRenderer();
  void FreeGlObjects();

  std::unique_ptr<hc::gl::GlPixelFormat> m_pixelFormat;
  std::unique_ptr<hc::gl::GlContext> m_glContext;
  std::unique_ptr<hc::gl::GlOffscreenDrawable> m_drawable;
  bool m_rendererConfigured = false;
  // A frame was drawn into the drawable since it was made.
  bool m_hasPicture = false;
};
HC_CLASS_OBJECT(GLPbufferContextMac, HcViewHelper)
