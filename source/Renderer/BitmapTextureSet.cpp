#include "Renderer/BitmapTextureSet.h"

#include "Renderer/PanoRenderer.h"

BitmapTextureSet::BitmapTextureSet() = default;
BitmapTextureSet::~BitmapTextureSet() = default;

eAppErr BitmapTextureSet::SetProjection(const KsRef<PanoProjection>& projection) {
  m_updateSeed = 0;
  return HcTextureSet::SetProjection(projection);
}

eAppErr BitmapTextureSet::SetStrategy(uint32_t strategy) {
  m_strategy = strategy;
  return AppErr::kNoErr;
}

eAppErr BitmapTextureSet::SetPixelFormat(const PixelFormatInfo* info) {
  m_pixelFormat = info;
  return AppErr::kNoErr;
}

eAppErr BitmapTextureSet::SetRenderer(const KsRef<PanoRenderer>& renderer) {
  m_renderer = WeakRef::GetWeakRef(renderer.Get());
  return AppErr::kNoErr;
}

KsRef<PanoRenderer> BitmapTextureSet::GetRenderer() const {
  return m_renderer ? m_renderer->GetTargetAs<PanoRenderer>() : KsRef<PanoRenderer>();
}

eAppErr BitmapTextureSet::SetUseAlpha(bool useAlpha) {
  if (m_textureCount != 0) return KS_TRACE_ERR(AppErr::kNotReady, "SetUseAlpha");
  m_useAlpha = useAlpha;
  return AppErr::kNoErr;
}

namespace {

// Grows a tile's rectangle to the image's edge on every side that lies on it.
KsRectF ExtendToImageEdges(const PanoProjection::ProjectionTile& tile) {
  KsRectF r = tile.TileRect;
  if (tile.EdgeMinX == PanoProjection::kEdgeImageBorder && r.x > 0.0f) {
    r.w += r.x;
    r.x = 0.0f;
  }
  if (tile.EdgeMaxX == PanoProjection::kEdgeImageBorder && 1.0f - r.x > r.w) r.w = 1.0f - r.x;
  if (tile.EdgeMinY == PanoProjection::kEdgeImageBorder && r.y > 0.0f) {
    r.h += r.y;
    r.y = 0.0f;
  }
  if (tile.EdgeMaxY == PanoProjection::kEdgeImageBorder && 1.0f - r.y > r.h) r.h = 1.0f - r.y;
  return r;
}

}  // namespace

eAppErr BitmapTextureSet::Initialize() {
  KsRef<PanoProjection> projection = GetProjection();
  if (!projection) return KS_TRACE_ERR(AppErr::kBadArgument, "Initialize");
  KsRef<PanoRenderer> renderer = GetRenderer();
  if (!renderer) return KS_TRACE_ERR(AppErr::kBadArgument, "Initialize");
  if (m_imageWidth <= 0 || m_imageHeight <= 0) return KS_TRACE_ERR(AppErr::kBadArgument, "Initialize");
  if (!m_pixelFormat) return KS_TRACE_ERR(AppErr::kBadArgument, "Initialize");

  PanoProjection::ProjectionTile tiles[PanoProjection::kMaxTiles] = {};
  uint32_t count = 0;
  const eAppErr err = projection->GetTiling(m_strategy, tiles, &count);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Initialize");
  if (count > PanoProjection::kMaxTiles) return KS_TRACE_ERR(AppErr::kOutOfRange, "Initialize");

  if (m_extendTiles) {
    KsRectF outer(0.0f, 0.0f, 1.0f, 1.0f);
    for (uint32_t i = 0; i < count; ++i) {
      tiles[i].TileRect = ExtendToImageEdges(tiles[i]);
      outer = KsRectF::Union(outer, tiles[i].TileRect);
    }
    for (uint32_t i = 0; i < count; ++i) tiles[i].FullRect = outer;
  }

  for (auto& texture : m_textures) texture = nullptr;
  m_textureCount = 0;
  for (uint32_t i = 0; i < count; ++i) {
    KsRef<BitmapTexture> texture = renderer->CreateBitmapTexture();
    if (!texture) return KS_TRACE_ERR(AppErr::kOutOfMemory, "Initialize");
    texture->SetImageSize(m_imageWidth, m_imageHeight);
    texture->SetImageAspect(static_cast<float>(m_imageWidth) / static_cast<float>(m_imageHeight));
    texture->SetPixelFormat(m_pixelFormat);
    texture->SetProjectionTile(tiles[i]);
    texture->SetUseAlpha(m_useAlpha);
    texture->SetProjection(projection);
    m_textures[i] = texture;
  }
  m_textureCount = count;
  return AppErr::kNoErr;
}

eAppErr BitmapTextureSet::GetCanCreate() {
  eAppErr err = Initialize();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetCanCreate");
  for (uint32_t i = 0; i < m_textureCount; ++i) {
    err = m_textures[i]->GetCanCreate();
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetCanCreate");
  }
  return AppErr::kNoErr;
}

float BitmapTextureSet::GetWastedTexels() {
  float wasted = 0.0f;
  for (uint32_t i = 0; i < m_textureCount; ++i) {
    const BitmapTexture& t = *m_textures[i];
    const float allocated = static_cast<float>(t.GetTextureWidth()) * static_cast<float>(t.GetTextureHeight());
    const float used = static_cast<float>(t.GetUsedRect().w) * static_cast<float>(t.GetUsedRect().h);
    wasted += allocated - used;
  }
  return wasted;
}

eAppErr BitmapTextureSet::CreateTextures(const KsRef<HcTextureSet>& previous) {
  if (m_textureCount == 0) return KS_TRACE_ERR(AppErr::kNotReady, "CreateTextures");
  KS_TRACE(KsTrace::kVerbose, "Creating textures for strategy %i", static_cast<int32_t>(m_strategy));
  for (uint32_t i = 0; i < m_textureCount; ++i) {
    KsRef<HcTexture> old;
    if (previous && previous->GetTextureCount() > i) old = previous->GetTextureByIndex(i);
    const eAppErr err = m_textures[i]->CreateTexture(old);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "CreateTextures");
  }
  if (KsRef<PanoProjection> projection = GetProjection()) m_updateSeed = projection->GetUpdateSeed().AsStamp();
  return AppErr::kNoErr;
}

eAppErr BitmapTextureSet::GetTextureForQuadrant(uint32_t quadrantMask, KsRef<HcTexture>& out) {
  for (uint32_t i = 0; i < m_textureCount; ++i) {
    if (m_textures[i]->GetProjectionTile().QuadrantMask & quadrantMask) {
      out = m_textures[i];
      return AppErr::kNoErr;
    }
  }
  out = nullptr;
  return KS_TRACE_ERR(AppErr::kBadArgument, "GetTextureForQuadrant");
}

KsRef<HcTexture> BitmapTextureSet::GetTextureByIndex(uint32_t index) {
  return index < m_textureCount ? KsRef<HcTexture>(m_textures[index]) : KsRef<HcTexture>();
}

KsRef<BitmapTexture> BitmapTextureSet::GetBitmapTexture(uint32_t index) const {
  return index < m_textureCount ? m_textures[index] : KsRef<BitmapTexture>();
}
