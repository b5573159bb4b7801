#include "View/CartesianProjectionView.h"

#include <cmath>

#include "Projection/CartesianFuncProj.h"
#include "Renderer/HcTextureSet.h"
#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/KeyboardVelocityResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "Source/PanoSource.h"
#include "Source/SourceErr.h"
#include "View/ViewMath.h"

namespace {

// The renderer made no vertex buffer.
constexpr eAppErr kNoCartesianBuffer = -200;

}  // namespace

CartesianProjectionView::CartesianProjectionView() = default;
CartesianProjectionView::~CartesianProjectionView() = default;

KsRef<MouseResponder> CartesianProjectionView::CreateDefaultMouseResponder() {
  return KsMakeRef<MouseVelocityResponder>();
}

KsRef<KeyboardResponder> CartesianProjectionView::CreateDefaultKeyboardResponder() {
  return KsMakeRef<KeyboardVelocityResponder>();
}

uint32_t CartesianProjectionView::GetNumberOfImages() { return 3; }

float CartesianProjectionView::GetNativeAspectRatio() {
  if (!m_projection) return 1.0f;
  const KsSizeF size = m_projection->GetDimensionsForCleanArea(1.0f);
  const float ratio = size.w / size.h;
  return std::isfinite(ratio) && ratio > 0.0f ? ratio : 1.0f;
}

KsRef<CartesianFuncProj> CartesianProjectionView::GetProjection() const { return m_projection; }

eAppErr CartesianProjectionView::SetProjection(const KsRef<CartesianFuncProj>& projection) {
  m_modelStamp = 0;
  m_textureStamp = 0;
  m_projection = projection;
  const eAppErr err = UpdateSourceCropping();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetProjection");
  return SetUseViewAspectRatio(m_useViewAspectRatio);
}

eAppErr CartesianProjectionView::SetUseSourceCropping(bool use) {
  m_useSourceCropping = use;
  return UpdateSourceCropping();
}

eAppErr CartesianProjectionView::SetLOD(uint32_t lod) {
  if (lod < kMinLOD || lod > kMaxLOD) return KS_TRACE_ERR(AppErr::kBadArgument, "SetLOD");
  for (auto& buffer : m_buffers) buffer = nullptr;
  m_modelStamp = 0;
  m_textureStamp = 0;
  m_lod = lod;
  return AppErr::kNoErr;
}

eAppErr CartesianProjectionView::SetIgnoreLookDirection(bool ignore) {
  DidChangeCaller change(this, kIgnoreLookDirectionId);
  m_ignoreLookDirection = ignore;
  return AppErr::kNoErr;
}

eAppErr CartesianProjectionView::UpdateSourceCropping() {
  if (!m_projection) {
    m_panScale = 1.0f / 360.0f;
    return AppErr::kNoErr;
  }
  KsRef<PanoSource> source = GetSource();
  if (m_useSourceCropping && source) {
    KsRef<PanoProjection> sourceProjection = source->GetProjection();
    if (!sourceProjection) return KS_TRACE_ERR(AppErr::kNotReady, "UpdateSourceCropping");
    float tiltMin = 0.0f;
    float tiltMax = 0.0f;
    sourceProjection->GetTiltRange(&tiltMin, &tiltMax);
    eAppErr err = m_projection->SetTiltMinDeg(tiltMin);
    if (!AppErrFailed(err)) err = m_projection->SetTiltMaxDeg(tiltMax);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateSourceCropping");
  }
  float panMin = 0.0f;
  float panMax = 360.0f;
  m_projection->GetPanRange(&panMin, &panMax);
  const float span = panMax - panMin;
  m_panScale = std::isfinite(span) && span != 0.0f ? 1.0f / span : 1.0f / 360.0f;
  return AppErr::kNoErr;
}

eAppErr CartesianProjectionView::SetUseViewAspectRatio(bool use) {
  m_useViewAspectRatio = use;
  if (!m_projection) return AppErr::kNoErr;
  const float tiltMin = m_projection->GetTiltMinDeg();
  const float tiltMax = m_projection->GetTiltMaxDeg();
  const KsRectF frame = GetFrame();
  const float aspect = use ? frame.w / frame.h : GetNativeAspectRatio();
  // An unchanged aspect leaves the projection (and its seed) alone, so that
  // a frame set again causes no rebuild.
  if (!std::isfinite(aspect) || !(aspect > 0.0f) || aspect == m_projection->GetImageAspect()) {
    return AppErr::kNoErr;
  }
  eAppErr err = m_projection->SetImageAspect(aspect);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetUseViewAspectRatio");
  if (m_projection->GetTiltMinDeg() != tiltMin) m_projection->SetTiltMinDeg(tiltMin);
  if (m_projection->GetTiltMaxDeg() != tiltMax) err = m_projection->SetTiltMaxDeg(tiltMax);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetUseViewAspectRatio");
  return err;
}

eAppErr CartesianProjectionView::SetFrame(const KsRectF& frame) {
  const uint32_t counter = GetFrameCounter();
  eAppErr err = HcView::SetFrame(frame);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetFrame");
  if (!m_projection || !m_useViewAspectRatio || counter == GetFrameCounter()) return err;
  err = SetUseViewAspectRatio(true);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetFrame");
  return err;
}

float CartesianProjectionView::ScrollOffset() {
  return m_ignoreLookDirection ? 0.0f : 0.5f - GetDrawnPan() * m_panScale;
}

eAppErr CartesianProjectionView::CreateModel(const KsRef<PanoRenderer>& renderer) {
  float tiltMin = 0.0f;
  float tiltMax = 0.0f;
  m_projection->GetTiltRange(&tiltMin, &tiltMax);
  const float division = 90.0f / static_cast<float>(m_lod);
  const float span = std::ceil((tiltMax - tiltMin) / division);
  if (!std::isfinite(span) || span < 1.0f || span > 100000.0f) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "CreateModel");
  }
  const uint32_t rows = static_cast<uint32_t>(span);
  const uint32_t perStrip = 2 * rows + 2;
  for (uint32_t q = 0; q < kQuadrants; ++q) {
    m_buffers[q] = renderer->CreateVertexBuffer(perStrip, m_lod);
    if (!m_buffers[q]) return KS_TRACE_ERR(kNoCartesianBuffer, "CreateModel");
    HcVertexBuffer& buffer = *m_buffers[q];
    buffer.SetDrawMode(HcVertexBuffer::kTriangleStrip);
    buffer.LockBuffer();
    for (uint32_t strip = 0; strip < m_lod; ++strip) {
      const float left = static_cast<float>(q) * 90.0f + static_cast<float>(strip) * division;
      const float pans[2] = {left, left + division};
      for (uint32_t k = 0; k <= rows; ++k) {
        const float tilt = tiltMin + static_cast<float>(k) * division;
        for (uint32_t side = 0; side < 2; ++side) {
          float x = 0.0f;
          float y = 0.0f;
          // A direction outside the image keeps the point computed for it.
          m_projection->GetPointForAngleRad(DegToRad(pans[side]), DegToRad(tilt), &x, &y);
          buffer.SetVertexPanTiltDeg(strip, 2 * k + side, {pans[side], tilt});
          buffer.SetVertexXYZ(strip, 2 * k + side, x, y, 0.0f);
        }
      }
    }
    buffer.UnlockBuffer();
  }
  m_modelStamp = m_projection->GetUpdateSeed().AsStamp();
  ++m_buildCount;
  return AppErr::kNoErr;
}

eAppErr CartesianProjectionView::UpdateVertices(const KsRef<PanoRenderer>& renderer,
                                                const KsRef<HcTextureSet>& textureSet) {
  if (!textureSet) return KS_TRACE_ERR(AppErr::kBadArgument, "UpdateVertices");
  if (m_projection->GetUpdateSeed().AsStamp() != m_modelStamp) {
    const eAppErr err = CreateModel(renderer);
    m_textureStamp = 0;
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateVertices");
  }
  const KsBaseObject* last = m_lastTextureSet ? m_lastTextureSet->PeekTarget() : nullptr;
  if (last != textureSet.Get()) m_textureStamp = 0;
  if (m_textureStamp != 0 && textureSet->GetUpdateSeed() == m_textureStamp) return AppErr::kNoErr;
  for (uint32_t q = 0; q < kQuadrants; ++q) {
    KsRef<HcTexture> texture;
    eAppErr err = textureSet->GetTextureForQuadrant(1u << q, texture);
    if (err == AppErr::kNoImageYet) return kNotDrawnYet;
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateVertices");
    if (!texture) return KS_TRACE_ERR(AppErr::kNotReady, "UpdateVertices");
    HcVertexBuffer& buffer = *m_buffers[q];
    buffer.LockBuffer();
    for (uint32_t strip = 0; strip < buffer.GetStripCount(); ++strip) {
      for (uint32_t index = 0; index < buffer.GetVerticesPerStrip(); ++index) {
        KsPointF direction;
        err = buffer.GetVertexPanTiltDeg(strip, index, &direction);
        KsPointF st;
        if (!AppErrFailed(err)) err = texture->PanTiltRadToTexture({DegToRad(direction.x), DegToRad(direction.y)}, &st);
        if (!AppErrFailed(err)) err = buffer.SetVertexTexCoords(strip, index, st);
        if (AppErrFailed(err)) {
          buffer.UnlockBuffer();
          return KS_TRACE_ERR(err, "UpdateVertices");
        }
      }
    }
    buffer.UnlockBuffer();
  }
  m_textureStamp = textureSet->GetUpdateSeed();
  m_lastTextureSet = WeakRef::GetWeakRef(textureSet.Get());
  ++m_texturePassCount;
  return AppErr::kNoErr;
}

eAppErr CartesianProjectionView::DrawVertices(const KsRef<HcTextureSet>& textureSet, uint32_t quadrantMask,
                                              const KsRef<PanoRenderer>& renderer) {
  if (!textureSet) return KS_TRACE_ERR(AppErr::kBadArgument, "DrawVertices");
  uint32_t remaining = quadrantMask & PanoProjection::kAllQuadrants;
  while (remaining != 0) {
    const uint32_t bit = remaining & (~remaining + 1);
    KsRef<HcTexture> texture;
    eAppErr err = textureSet->GetTextureForQuadrant(bit, texture);
    if (err == AppErr::kNoImageYet) return kNotDrawnYet;
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DrawVertices");
    if (!texture) return KS_TRACE_ERR(AppErr::kNotReady, "DrawVertices");
    const uint32_t covered = texture->GetProjectionTile().QuadrantMask & remaining;
    // Without the quadrant asked for the loop would make no progress.
    if (!(covered & bit)) return KS_TRACE_ERR(AppErr::kNotReady, "DrawVertices");
    err = texture->Activate();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DrawVertices");
    for (uint32_t q = 0; q < kQuadrants && !AppErrFailed(err); ++q) {
      if (!(covered & (1u << q)) || !m_buffers[q]) continue;
      remaining &= ~(1u << q);
      err = m_buffers[q]->Draw();
      if (!AppErrFailed(err)) err = renderer->ModelViewTranslate(1.0f, 0.0f, 0.0f);
      if (!AppErrFailed(err)) err = m_buffers[q]->Draw();
      if (!AppErrFailed(err)) err = renderer->ModelViewTranslate(-2.0f, 0.0f, 0.0f);
      if (!AppErrFailed(err)) err = m_buffers[q]->Draw();
      if (!AppErrFailed(err)) err = renderer->ModelViewTranslate(1.0f, 0.0f, 0.0f);
    }
    remaining &= ~covered;
    const eAppErr deactivated = texture->Deactivate();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "DrawVertices");
    if (AppErrFailed(deactivated)) return KS_TRACE_ERR(deactivated, "DrawVertices");
  }
  return AppErr::kNoErr;
}

eAppErr CartesianProjectionView::Draw(const KsRef<PanoRenderer>& renderer) {
  eAppErr err = PanoView::Draw(renderer);
  if (err == kNotDrawnYet) return err;
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  if (!m_projection) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  err = UpdateVertices(renderer, GetTextureSet());
  if (err == kNotDrawnYet) return err;
  if (!AppErrFailed(err)) err = renderer->Ortho2D(KsRectF(0, 0, 1, 1), true);
  if (!AppErrFailed(err)) err = renderer->ModelViewIdentity();
  if (!AppErrFailed(err) && !m_ignoreLookDirection) err = renderer->ModelViewTranslate(ScrollOffset(), 0.0f, 0.0f);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  renderer->SetColor(1.0f, 1.0f, 1.0f, GetOpacity());
  err = DrawVertices(GetTextureSet(), GetTextureQuadrantMask(), renderer);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  return err;
}

eAppErr CartesianProjectionView::PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) {
  if (image > 2 || !point) return KS_TRACE_ERR(AppErr::kBadArgument, "PointAtDirectionDeg");
  if (!m_projection) return KS_TRACE_ERR(AppErr::kNotReady, "PointAtDirectionDeg");
  float x = 0.0f;
  float y = 0.0f;
  const bool inside = m_projection->GetPointForAngleRad(DegToRad(pan), DegToRad(tilt), &x, &y);
  x += ScrollOffset();
  if (image >= 0) x += static_cast<float>(image - 1);
  const KsRectF frame = GetFrame();
  point->x = x * frame.w + frame.x;
  point->y = (1.0f - y) * frame.h + frame.y;
  return inside ? AppErr::kNoErr : kOutsideFrame;
}

eAppErr CartesianProjectionView::DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) {
  if (!pan || !tilt) return KS_TRACE_ERR(AppErr::kBadArgument, "DirectionAtPointDeg");
  if (!m_projection) return KS_TRACE_ERR(AppErr::kNotReady, "DirectionAtPointDeg");
  const KsRectF frame = GetFrame();
  float u = (point.x - frame.x) / frame.w - ScrollOffset();
  const float v = 1.0f - (point.y - frame.y) / frame.h;
  if (!AllFinite(u, v)) return kOutsideImage;
  // Whole image widths off the first copy, each a turn of pan.
  const float turns = std::floor(u);
  u -= turns;
  float panRad = 0.0f;
  float tiltRad = 0.0f;
  const bool inside = m_projection->GetAngleRadForPoint(u, v, &panRad, &tiltRad);
  *pan = RadToDeg(panRad) + turns * 360.0f;
  *tilt = RadToDeg(tiltRad);
  return inside ? AppErr::kNoErr : kOutsideImage;
}
