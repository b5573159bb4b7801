#include "View/HcTexturedView.h"

#include "Renderer/HcTextureSet.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"

HcTexturedView::HcTexturedView() = default;
HcTexturedView::~HcTexturedView() = default;

uint32_t HcTexturedView::GetTextureQuadrantMask() { return PanoProjection::kAllQuadrants; }

KsRef<PanoSource> HcTexturedView::GetSource() const { return m_source; }

eAppErr HcTexturedView::SetSource(const KsRef<PanoSource>& source) {
  DidChangeCaller change(this, kSourceId);
  m_textureSet = nullptr;
  m_source = source;
  return AppErr::kNoErr;
}

KsRef<HcTextureSet> HcTexturedView::GetTextureSet() const { return m_textureSet; }

eAppErr HcTexturedView::Draw(const KsRef<PanoRenderer>& renderer) {
  m_notReady = true;
  if (!m_source || !renderer) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  if (!m_source->GetHasData()) return kNotDrawnYet;
  const eAppErr err = m_source->TextureSetForRenderer(renderer, m_textureSet, GetTextureQuadrantMask());
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  if (err == kNotDrawnYet || !m_textureSet) return kNotDrawnYet;
  m_notReady = false;
  return AppErr::kNoErr;
}

eAppErr HcTexturedView::CollectViewsAtPoint(const KsPointF& point, const KsRef<ViewCollection>& views) {
  if (m_notReady) return AppErr::kNoErr;
  return HcView::CollectViewsAtPoint(point, views);
}
