#include "View/SourceDisplay.h"

#include "Renderer/HcVertexBuffer.h"
#include "Renderer/HcTextureSet.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"

SourceDisplay::SourceDisplay() = default;
SourceDisplay::~SourceDisplay() = default;

KsRectF SourceDisplay::ComputeFrame(const KsRect<int32_t>& frame) const {
  const float x = static_cast<float>(frame.x);
  const float y = static_cast<float>(frame.y);
  const KsRectF& p = m_framePercent;
  if (m_frameInPoints) return KsRectF(x + p.x, y + p.y, p.w, p.h);
  const float w = static_cast<float>(frame.w);
  const float h = static_cast<float>(frame.h);
  return KsRectF(x + p.x * w, y + p.y * h, p.w * w, p.h * h);
}

bool SourceDisplay::ContainsPoint(const KsRect<int32_t>& frame, const KsRef<PanoView>&, const KsPointF& point) {
  return ComputeFrame(frame).Contains(point);
}

eAppErr SourceDisplay::Draw(const KsRect<int32_t>& frame, const KsRef<PanoView>&, const KsRef<PanoRenderer>& renderer,
                            float z) {
  if (!m_source || !renderer) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  const KsRectF rect = ComputeFrame(frame);
  const eAppErr err = m_source->TextureSetForRenderer(renderer, m_textureSet, kAllQuadrants);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  return DrawTextures(rect, renderer, m_textureSet, z, m_opacity);
}

KsRef<PanoSource> SourceDisplay::GetSource() const { return m_source; }

eAppErr SourceDisplay::SetSource(const KsRef<PanoSource>& source) {
  DidChangeCaller change(this, kSourceId);
  m_source = source;
  return AppErr::kNoErr;
}

eAppErr SourceDisplay::SetFramePercent(const KsRectF& rect) {
  DidChangeCaller change(this, kFramePercentId);
  m_framePercent = rect;
  return AppErr::kNoErr;
}

eAppErr SourceDisplay::SetFrameInPoints(bool inPoints) {
  DidChangeCaller change(this, kFrameInPointsId);
  m_frameInPoints = inPoints;
  return AppErr::kNoErr;
}

eAppErr SourceDisplay::SetDrawTileBoundary(bool draw) {
  DidChangeCaller change(this, kDrawTileBoundaryId);
  m_drawTileBoundary = draw;
  return AppErr::kNoErr;
}

uint32_t SourceDisplay::GetTextureCount() const { return m_textureSet ? m_textureSet->GetTextureCount() : 0; }

eAppErr SourceDisplay::SetOpacity(float opacity) {
  DidChangeCaller change(this, kOpacityId);
  m_opacity = opacity;
  return AppErr::kNoErr;
}

KsRef<HcTextureSet> SourceDisplay::GetTextureSet() const { return m_textureSet; }
