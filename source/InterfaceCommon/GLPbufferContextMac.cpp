#include "InterfaceCommon/GLPbufferContextMac.h"

#include <GL/gl.h>

#include "InterfaceCommon/HcContextHelper.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlOffscreenDrawable.h"
#include "platform/gl/GlPixelFormat.h"
#include "platform/gl/GlReadBack.h"

namespace {

eAppErr AppErrFromGl(hc::gl::GlError error) { return AppErrFromOSErr(static_cast<int>(error)); }

bool GlFailed(hc::gl::GlError error) { return error != hc::gl::GlError::None; }

}  // namespace

GLPbufferContextMac::GLPbufferContextMac() { MakeGlContext(); }

GLPbufferContextMac::~GLPbufferContextMac() { GLPbufferContextMac::ReleaseGLResources(); }

eAppErr GLPbufferContextMac::MakeGlContext() {
  FreeGlObjects();
  hc::gl::GlPixelFormat::Attributes attributes;
  attributes.doubleBuffer = true;
  attributes.colorSize = 32;
  attributes.alphaSize = 0;
  attributes.depthSize = 16;
  attributes.offscreen = true;
  hc::gl::GlError error = hc::gl::GlPixelFormat::Create(attributes, &m_pixelFormat);
  if (!GlFailed(error)) error = hc::gl::GlContext::Create(*m_pixelFormat, nullptr, &m_glContext);
  if (!GlFailed(error)) error = m_glContext->MakeCurrent();
  if (GlFailed(error)) {
    KS_TRACE(KsTrace::kError, "No off-screen OpenGL context: %s", hc::gl::GlErrorText(error));
    m_glContext.reset();
    m_pixelFormat.reset();
    return KS_TRACE_ERR(AppErrFromGl(error), "MakeGlContext");
  }
  return AppErr::kNoErr;
}

eAppErr GLPbufferContextMac::MakeCurrent(const char* method) {
  if (!m_glContext) return KS_TRACE_ERR(AppErr::kNotReady, method);
  if (hc::gl::GlContext::Current() == m_glContext.get()) return AppErr::kNoErr;
  const hc::gl::GlError error = m_glContext->MakeCurrent();
  if (GlFailed(error)) return KS_TRACE_ERR(AppErrFromGl(error), method);
  return AppErr::kNoErr;
}

void GLPbufferContextMac::ConfigureRenderer() {
  KsRef<AppleOpenGLRenderer> renderer = GetRenderer().DynamicCast<AppleOpenGLRenderer>();
  m_rendererConfigured = false;
  if (!renderer || !m_glContext) return;
  renderer->SetGlContext(m_glContext.get());
  renderer->SetGlPixelFormat(m_pixelFormat.get());
  m_rendererConfigured = true;
}

eAppErr GLPbufferContextMac::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  const bool changed = renderer != GetRenderer();
  const eAppErr result = HcViewHelper::SetRenderer(renderer);
  if (changed || !m_rendererConfigured) ConfigureRenderer();
  return result;
}

eAppErr GLPbufferContextMac::SetActive(bool active) {
  if (active && !m_rendererConfigured) ConfigureRenderer();
  return HcViewHelper::SetActive(active);
}

eAppErr GLPbufferContextMac::Resize(int32_t x, int32_t y, int32_t width, int32_t height) {
  eAppErr result = MakeCurrent("Resize");
  if (!AppErrFailed(result)) {
    m_drawable.reset();
    m_hasPicture = false;
    if (width > 0 && height > 0) {
      hc::gl::GlError error = hc::gl::GlOffscreenDrawable::Create(width, height, &m_drawable);
      if (!GlFailed(error)) error = m_drawable->Bind();
      if (GlFailed(error)) {
        m_drawable.reset();
        result = KS_TRACE_ERR(AppErrFromGl(error), "Resize");
      }
    }
  }
  const eAppErr base = HcViewHelper::Resize(x, y, width, height);
  return AppErrFailed(result) ? result : base;
}

eAppErr GLPbufferContextMac::Draw() {
  if (!GetRenderer() || !GetContext()) return kNoSurface;
  if (const eAppErr current = MakeCurrent("Draw"); AppErrFailed(current)) return current;
  if (m_drawable) {
    if (const hc::gl::GlError error = m_drawable->Bind(); GlFailed(error)) {
      return KS_TRACE_ERR(AppErrFromGl(error), "Draw");
    }
  }
  const eAppErr result = HcViewHelper::Draw();
  if (!AppErrFailed(result) && m_drawable) m_hasPicture = true;
  return result;
}

bool GLPbufferContextMac::CopyFrameBufferToRenderPort(const HcRenderPort& port) {
  if (!port.baseAddress) {
    KS_TRACE(KsTrace::kError, "BaseAddr not set in CopyFrameBufferToRenderPort!");
    return false;
  }
  if (!m_drawable || !m_hasPicture) {
    KS_TRACE(KsTrace::kError, "Nothing drawn to copy in CopyFrameBufferToRenderPort");
    return false;
  }
  if (AppErrFailed(MakeCurrent("CopyFrameBufferToRenderPort"))) return false;
  glFinish();
  const hc::gl::GlError error =
      m_drawable->ReadPixels(hc::gl::GlReadBack::ByteOrder::BGRA, port.baseAddress, port.bufferSize, port.rowBytes);
  if (GlFailed(error)) {
    KS_TRACE(KsTrace::kError, "CopyFrameBufferToRenderPort: %s", hc::gl::GlErrorText(error));
    return false;
  }
  return true;
}

void GLPbufferContextMac::ReleaseGLResources() {
  // The drawable, the renderer's textures and buffers and the sources' OpenGL
  // objects all belong to this helper's context: free them with it current,
  // then give the thread back the context it had.
  hc::gl::GlContext* previous = hc::gl::GlContext::Current();
  if (previous == m_glContext.get()) previous = nullptr;
  const bool current = m_glContext && !AppErrFailed(MakeCurrent("ReleaseGLResources"));
  if (current) m_drawable.reset();
  m_hasPicture = false;
  // Others (the context) may keep the renderer: it must not point at a
  // context that is about to go.
  if (KsRef<AppleOpenGLRenderer> renderer = GetRenderer().DynamicCast<AppleOpenGLRenderer>();
      renderer && renderer->GetGlContext() == m_glContext.get()) {
    renderer->SetGlContext(nullptr);
    renderer->SetGlPixelFormat(nullptr);
  }
  HcViewHelper::ReleaseGLResources();
  m_rendererConfigured = false;
  FreeGlObjects();
  if (previous) previous->MakeCurrent();
}

void GLPbufferContextMac::FreeGlObjects() {
  // A drawable whose context could not be made current is left to go with
  // the context.
  m_drawable.reset();
  m_glContext.reset();
  m_pixelFormat.reset();
}
