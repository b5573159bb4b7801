#include "Renderer/QTVisualContextTexture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>

#include "Renderer/OpenGLRenderer.h"
#include "Renderer/YuvToRgbProgram.h"
#include "platform/gl/GlContext.h"
#include "platform/playback/VideoTexture.h"

using hc::playback::VideoFrameLayout;
using hc::playback::VideoTexture;

namespace {

enum Corner { kLowerLeft, kLowerRight, kUpperRight, kUpperLeft };

// Chroma planes are their luma plane halved (or quartered) and rounded up;
// the ratio of the sizes finds the factor.
float ChromaScale(int lumaSize, int chromaSize) {
  if (lumaSize <= 0 || chromaSize <= 0) return 1.0f;
  const float factor = std::round(static_cast<float>(lumaSize) / static_cast<float>(chromaSize));
  return factor >= 1.0f ? 1.0f / factor : 1.0f;
}

}  // namespace

QTVisualContextTexture::QTVisualContextTexture() {
  PanoProjection::ProjectionTile tile{};
  tile.QuadrantMask = 15;
  SetProjectionTile(tile);
}

QTVisualContextTexture::~QTVisualContextTexture() {
  if (hc::gl::GlContext::Current() == nullptr) {
    KS_TRACE(KsTrace::kError, "No CGL context is active for releasing resources!");
  } else {
    Deactivate();
  }
}

eAppErr QTVisualContextTexture::SetCVTexturePointer(void* frame) {
  std::shared_ptr<VideoTexture> held;
  if (frame) {
    held = static_cast<VideoTexture*>(frame)->weak_from_this().lock();
    if (!held) return KS_TRACE_ERR(AppErr::kBadArgument, "SetCVTexturePointer");
  }
  return SetCVTexture(std::move(held));
}

eAppErr QTVisualContextTexture::SetCVTexture(std::shared_ptr<VideoTexture> frame) {
  std::shared_ptr<VideoTexture> previous;
  {
    KsSpinLockGuard guard(m_lock);
    previous = std::move(m_frame);
    m_frame = std::move(frame);
    m_hasFrame.store(m_frame != nullptr, std::memory_order_release);
  }
  if (HasTexture()) UpdateTexCoords();
  PanoProjection::ProjectionTile tile = GetProjectionTile();
  tile.FullRect = tile.TileRect;
  SetProjectionTile(tile);
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::UpdateTexCoords() {
  KsPointF farCorner;
  {
    KsSpinLockGuard guard(m_lock);
    if (!m_frame) return KS_TRACE_ERR(AppErr::kNotReady, "UpdateTexCoords");
    const auto& clean = m_frame->CleanTexCoords();
    for (size_t i = 0; i < m_corners.size(); ++i) m_corners[i] = {clean[i].x, clean[i].y};
    m_farCorner = m_frame->IsFlipped() ? m_corners[kLowerRight] : m_corners[kUpperRight];
    m_coordsValid = true;
    farCorner = m_farCorner;
  }
  PanoProjection::ProjectionTile tile = GetProjectionTile();
  tile.TileRect = KsRectF(0.0f, 0.0f, farCorner.x, farCorner.y);
  SetProjectionTile(tile);
  return AppErr::kNoErr;
}

std::shared_ptr<VideoTexture> QTVisualContextTexture::GetVideoTexture() const {
  KsSpinLockGuard guard(m_lock);
  return m_frame;
}

void QTVisualContextTexture::SetRenderer(const KsRef<OpenGLRenderer>& renderer) {
  m_renderer = WeakRef::GetWeakRef(renderer.Get());
}

eAppErr QTVisualContextTexture::GetFullCoordRange(KsPointF* out) {
  if (!out) return KS_TRACE_ERR(AppErr::kBadArgument, "GetFullCoordRange");
  KsSpinLockGuard guard(m_lock);
  *out = m_farCorner;
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::ImagePointToTexture(const KsPointF& p, KsPointF* out) {
  if (!out) return KS_TRACE_ERR(AppErr::kBadArgument, "ImagePointToTexture");
  KsSpinLockGuard guard(m_lock);
  if (!m_frame) {
    KS_TRACE(KsTrace::kError, "No texture ref");
    *out = {0.0f, 0.0f};
    return AppErr::kNoErr;
  }
  const KsPointF& ul = m_corners[kUpperLeft];
  const KsPointF& ur = m_corners[kUpperRight];
  const KsPointF& ll = m_corners[kLowerLeft];
  *out = {ul.x + (ur.x - ul.x) * p.x, ul.y + (ll.y - ul.y) * p.y};
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::Activate() {
  std::shared_ptr<VideoTexture> frame = GetVideoTexture();
  if (!frame) return AppErr::kNoErr;
  if (m_active) Deactivate();
  const GLenum target = frame->Target();
  if (frame->Layout() != VideoFrameLayout::Packed) {
    KsRef<OpenGLRenderer> renderer = m_renderer ? m_renderer->GetTargetAs<OpenGLRenderer>() : KsRef<OpenGLRenderer>();
    const auto layout = frame->Layout() == VideoFrameLayout::Planar ? YuvToRgbProgram::Layout::kPlanar
                                                                    : YuvToRgbProgram::Layout::kBiPlanar;
    YuvToRgbProgram* program = renderer ? renderer->GetYuvProgram(layout, target) : nullptr;
    if (!program) return KS_TRACE_ERR(AppErr::kNotReady, "Activate");
    for (int i = frame->PlaneCount() - 1; i >= 1; --i) {
      glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
      glBindTexture(target, frame->PlaneAt(i).name);
    }
    glActiveTexture(GL_TEXTURE0);
    program->SetColorimetry(frame->Matrix() == hc::playback::VideoMatrix::BT709 ? YuvToRgbProgram::Matrix::kBT709
                                                                                : YuvToRgbProgram::Matrix::kBT601,
                            frame->FullRange());
    program->Use(static_cast<float>(frame->Width()), static_cast<float>(frame->Height()), false, false,
                 ChromaScale(frame->Width(), frame->PlaneAt(1).width),
                 ChromaScale(frame->Height(), frame->PlaneAt(1).height));
    m_programActive = true;
  }
  glEnable(target);
  glBindTexture(target, frame->Name());
  m_active = std::move(frame);
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::Deactivate() {
  if (!m_active) return AppErr::kNoErr;
  const GLenum target = m_active->Target();
  for (int i = m_active->PlaneCount() - 1; i >= 1; --i) {
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
    glBindTexture(target, 0);
  }
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(target, 0);
  glDisable(target);
  if (m_programActive) YuvToRgbProgram::Unuse();
  m_programActive = false;
  m_active.reset();
  return AppErr::kNoErr;
}
