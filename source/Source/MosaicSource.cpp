#include "Source/MosaicSource.h"

#include "Renderer/PanoRenderer.h"
#include "Renderer/SubsetTextureSet.h"

MosaicSource::MosaicSource() = default;
MosaicSource::~MosaicSource() { m_lastSet = nullptr; }

eAppErr MosaicSource::GetDataAtPoint(int32_t, int32_t, uint32_t, float*) {
  return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetDataAtPoint");
}

eAppErr MosaicSource::DoUpdate() { return m_baseSource ? m_baseSource->Update() : AppErr::kNoErr; }

KsRef<SubsetTextureSet> MosaicSource::GetLastTextureSet() const {
  return m_lastSet ? m_lastSet->GetTargetAs<SubsetTextureSet>() : KsRef<SubsetTextureSet>();
}

eAppErr MosaicSource::SetSrcRect0to1(const KsRectF& rect) {
  m_rect0to1 = rect;
  m_lastSet = nullptr;
  return AppErr::kNoErr;
}

eAppErr MosaicSource::SetSrcRectPix(const KsRectF& rect) {
  m_rectPix = rect;
  m_lastSet = nullptr;
  return AppErr::kNoErr;
}

eAppErr MosaicSource::SetBaseSource(const KsRef<PanoSource>& base) {
  m_baseSource = base;
  m_lastSet = nullptr;
  SetDataFlag(static_cast<bool>(base));
  if (!base || !base->GetHasDimensions()) return AppErr::kNoErr;
  const float width = static_cast<float>(base->GetWidth());
  const float height = static_cast<float>(base->GetHeight());
  if (m_rectPix.w == 0.0f && m_rectPix.h == 0.0f) {
    m_rectPix.x = width * m_rect0to1.x;
    m_rectPix.y = height * m_rect0to1.y;
    m_rectPix.h = static_cast<float>(static_cast<int32_t>(height * m_rect0to1.h + 0.5f));
    m_rectPix.w = static_cast<float>(static_cast<int32_t>(width * m_rect0to1.w + 0.5f));
  } else {
    m_rect0to1 = KsRectF(m_rectPix.x / width, m_rectPix.y / height, m_rectPix.w / width, m_rectPix.h / height);
  }
  SetDimensions(static_cast<int32_t>(m_rectPix.w), static_cast<int32_t>(m_rectPix.h));
  return AppErr::kNoErr;
}

eAppErr MosaicSource::TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                            uint32_t) {
  if (!m_baseSource) return KS_TRACE_ERR(AppErr::kNotReady, "TextureSetForRenderer");
  KsRef<SubsetTextureSet> last = GetLastTextureSet();
  KsRef<HcTextureSet> baseSet = last ? last->GetBaseTextureSet() : KsRef<HcTextureSet>();
  eAppErr err = m_baseSource->TextureSetForRenderer(renderer, baseSet, PanoProjection::kAllQuadrants);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "TextureSetForRenderer");
  if (!baseSet) return KS_TRACE_ERR(AppErr::kNotReady, "TextureSetForRenderer");
  if (baseSet->GetTextureCount() != 1) return KS_TRACE_ERR(AppErr::kBadArgument, "TextureSetForRenderer");
  KsRef<PanoProjection> projection = GetProjection();
  if (!projection) return KS_TRACE_ERR(AppErr::kNotReady, "TextureSetForRenderer");

  if (last && last->GetBaseTextureSet() == baseSet && last->GetProjection() == projection) {
    set = last;
    return AppErr::kNoErr;
  }
  auto subset = KsMakeRef<SubsetTextureSet>();
  subset->SetProjection(projection);
  subset->SetSrcRect0to1(m_rect0to1);
  err = subset->SetBaseTextureSet(baseSet);
  if (!AppErrFailed(err)) err = subset->GetCanCreate();
  if (!AppErrFailed(err)) err = subset->Initialize();
  if (!AppErrFailed(err)) m_lastSet = WeakRef::GetWeakRef(subset.Get());
  set = subset;
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "TextureSetForRenderer");
  return AppErr::kNoErr;
}
