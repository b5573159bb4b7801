#include "Renderer/SubsetTextureSet.h"

SubsetTextureSet::SubsetTextureSet() = default;
SubsetTextureSet::~SubsetTextureSet() = default;

eAppErr SubsetTextureSet::GetCanCreate() { return AppErr::kNoErr; }

eAppErr SubsetTextureSet::GetTextureForQuadrant(uint32_t, KsRef<HcTexture>& out) {
  out = m_texture;
  if (!m_texture) return KS_TRACE_ERR(AppErr::kNotReady, "GetTextureForQuadrant");
  return AppErr::kNoErr;
}

uint64_t SubsetTextureSet::GetUpdateSeed() {
  if (m_baseSet) {
    const uint64_t baseSeed = m_baseSet->GetUpdateSeed();
    if (baseSeed != m_baseSeedSeen) {
      m_baseSeedSeen = baseSeed;
      ++m_seed.first;
    }
  }
  return m_seed.AsStamp();
}

KsRef<HcTexture> SubsetTextureSet::GetTextureByIndex(uint32_t index) {
  return index == 0 ? KsRef<HcTexture>(m_texture) : KsRef<HcTexture>();
}

eAppErr SubsetTextureSet::SetProjection(const KsRef<PanoProjection>& projection) {
  ++m_seed.first;
  return HcTextureSet::SetProjection(projection);
}

eAppErr SubsetTextureSet::SetSrcRect0to1(const KsRectF& rect) {
  m_srcRect = rect;
  return AppErr::kNoErr;
}

eAppErr SubsetTextureSet::SetBaseTextureSet(const KsRef<HcTextureSet>& baseSet) {
  if (baseSet && baseSet->GetTextureCount() != 1) return KS_TRACE_ERR(AppErr::kBadArgument, "SetBaseTextureSet");
  m_texture = nullptr;
  m_baseSeedSeen = 0;
  ++m_seed.first;
  m_baseSet = baseSet;
  if (m_baseSet) {
    m_texture = KsMakeRef<SubsetTexture>();
    m_texture->SetBaseTexture(m_baseSet->GetTextureByIndex(0));
    m_texture->SetTexRect0to1(m_srcRect);
  }
  return AppErr::kNoErr;
}

eAppErr SubsetTextureSet::Initialize() {
  KsRef<PanoProjection> projection = GetProjection();
  if (!projection) return AppErr::kNoErr;
  PanoProjection::ProjectionTile tiles[PanoProjection::kMaxTiles] = {};
  uint32_t count = 0;
  const eAppErr err = projection->GetTiling(0, tiles, &count);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Initialize");
  if (count != 1 || !m_texture) return KS_TRACE_ERR(AppErr::kNotReady, "Initialize");
  return m_texture->SetProjectionTile(tiles[0]);
}
