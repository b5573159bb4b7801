#include "View/PanTiltGridOverlay.h"

#include <cmath>

#include "Renderer/HcVertexBuffer.h"
#include "Renderer/PanoRenderer.h"
#include "Responder/MouseIgnoreResponder.h"
#include "View/PanoView.h"

namespace {

// The renderer made no vertex buffer.
constexpr eAppErr kNoOverlayBuffer = -200;
// The depth comparison that always passes.
constexpr int32_t kDepthCompareAlways = 7;
// Far outside the orthographic volume (z -10 to 10): a segment left out is
// put there, where it is clipped away whole.
constexpr float kHiddenDepth = 1000.0f;

}  // namespace

PanTiltGridOverlay::PanTiltGridOverlay() = default;
PanTiltGridOverlay::~PanTiltGridOverlay() = default;

KsRef<MouseResponder> PanTiltGridOverlay::CreateDefaultMouseResponder() {
  KsRef<MouseResponder> responder = HcView::CreateDefaultMouseResponder();
  if (auto ignore = responder.DynamicCast<MouseIgnoreResponder>()) ignore->SetTransparent(true);
  return responder;
}

eAppErr PanTiltGridOverlay::EnsureBuffer(const KsRef<PanoRenderer>& renderer, KsRef<HcVertexBuffer>& buffer,
                                         uint32_t divisions, uint32_t lines) {
  const uint32_t vertices = 2 * (divisions - 1);
  if (buffer && buffer->GetVerticesPerStrip() != vertices) buffer = nullptr;
  if (buffer) return AppErr::kNoErr;
  buffer = renderer->CreateVertexBuffer(vertices, lines);
  if (!buffer) return kNoOverlayBuffer;
  buffer->SetUseTexCoords(false);
  buffer->SetDrawMode(HcVertexBuffer::kLines);
  return AppErr::kNoErr;
}

// Line `line` of the buffer: a meridian at pan `fixed` from the nadir to the
// zenith, or a parallel at tilt `fixed` from pan 0 to 360.
void PanTiltGridOverlay::FillLine(HcVertexBuffer& buffer, uint32_t line, uint32_t divisions, bool meridian,
                                  float fixed) {
  PanoView& view = *m_referenceView;
  const float step = (meridian ? 180.0f : 360.0f) / static_cast<float>(divisions - 1);
  const float start = meridian ? -90.0f : 0.0f;
  // Views that show several copies side by side wrap their points around;
  // a segment longer than half the frame crosses that seam.
  const bool wraps = view.GetNumberOfImages() > 1;
  const float seamWidth = view.GetFrame().w * 0.5f;
  KsPointF previous;
  bool previousMapped = false;
  for (uint32_t j = 0; j < divisions; ++j) {
    const float moving = start + step * static_cast<float>(j);
    KsPointF point;
    const eAppErr mapped = meridian ? view.PointAtDirectionDeg(fixed, moving, &point, -1)
                                    : view.PointAtDirectionDeg(moving, fixed, &point, -1);
    const bool ok = !AppErrFailed(mapped) && mapped != PanoView::kOutsideImage && std::isfinite(point.x) &&
                    std::isfinite(point.y);
    if (j > 0) {
      const bool drawn = ok && previousMapped && !(wraps && std::fabs(point.x - previous.x) > seamWidth);
      const uint32_t index = 2 * (j - 1);
      if (drawn) {
        buffer.SetVertexXYZ(line, index, previous.x, previous.y, m_zDepth);
        buffer.SetVertexXYZ(line, index + 1, point.x, point.y, m_zDepth);
      } else {
        buffer.SetVertexXYZ(line, index, 0.0f, 0.0f, kHiddenDepth);
        buffer.SetVertexXYZ(line, index + 1, 0.0f, 0.0f, kHiddenDepth);
      }
    }
    previous = point;
    previousMapped = ok;
  }
}

eAppErr PanTiltGridOverlay::UpdateGrid(const KsRef<PanoRenderer>& renderer) {
  if (!renderer) return KS_TRACE_ERR(AppErr::kBadArgument, "UpdateGrid");
  if (!m_referenceView) return KS_TRACE_ERR(AppErr::kNotReady, "UpdateGrid");
  eAppErr err = EnsureBuffer(renderer, m_meridians, m_panDivisions, kMeridians);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateGrid");
  err = EnsureBuffer(renderer, m_parallels, m_tiltDivisions, kParallels);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "UpdateGrid");
  m_meridians->LockBuffer();
  for (uint32_t i = 0; i < kMeridians; ++i) FillLine(*m_meridians, i, m_panDivisions, true, i * 10.0f);
  m_meridians->UnlockBuffer();
  m_parallels->LockBuffer();
  for (uint32_t k = 0; k < kParallels; ++k) FillLine(*m_parallels, k, m_tiltDivisions, false, k * 10.0f - 90.0f);
  m_parallels->UnlockBuffer();
  return AppErr::kNoErr;
}

eAppErr PanTiltGridOverlay::Draw(const KsRef<PanoRenderer>& renderer) {
  if (!renderer) return KS_TRACE_ERR(AppErr::kBadArgument, "Draw");
  if (!m_referenceView) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  const KsRectF reference = m_referenceView->GetFrame();
  eAppErr err = renderer->SetViewport(GetPixelFrame());
  if (!AppErrFailed(err)) err = renderer->ModelViewIdentity();
  // The reference frame with y upward: its bottom edge at the bottom.
  if (!AppErrFailed(err)) err = renderer->Ortho2D(KsRectF(reference.x, reference.y + reference.h, reference.w,
                                                          -reference.h), true);
  if (!AppErrFailed(err)) err = UpdateGrid(renderer);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  renderer->SetDepthCompare(kDepthCompareAlways);
  renderer->SetColor(m_gridColor.r, m_gridColor.g, m_gridColor.b, m_gridColor.a);
  err = m_meridians->Draw();
  if (!AppErrFailed(err)) err = m_parallels->Draw();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  return AppErr::kNoErr;
}

eAppErr PanTiltGridOverlay::SetGridColor(const KsColorF& color) {
  DidChangeCaller change(this, kGridColorId);
  m_gridColor = color;
  return AppErr::kNoErr;
}

eAppErr PanTiltGridOverlay::SetPanDivisions(uint32_t divisions) {
  if (divisions < kMinDivisions || divisions > kMaxDivisions) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "SetPanDivisions");
  }
  DidChangeCaller change(this, kPanDivisionsId);
  m_panDivisions = divisions;
  return AppErr::kNoErr;
}

eAppErr PanTiltGridOverlay::SetTiltDivisions(uint32_t divisions) {
  if (divisions < kMinDivisions || divisions > kMaxDivisions) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "SetTiltDivisions");
  }
  DidChangeCaller change(this, kTiltDivisionsId);
  m_tiltDivisions = divisions;
  return AppErr::kNoErr;
}

KsRef<PanoView> PanTiltGridOverlay::GetReferenceView() const { return m_referenceView; }

eAppErr PanTiltGridOverlay::SetReferenceView(const KsRef<PanoView>& view) {
  DidChangeCaller change(this, kReferenceViewId);
  m_referenceView = view;
  return AppErr::kNoErr;
}

eAppErr PanTiltGridOverlay::SetZDepth(float depth) {
  DidChangeCaller change(this, kZDepthId);
  m_zDepth = depth;
  return AppErr::kNoErr;
}
