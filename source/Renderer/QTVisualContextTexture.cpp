#include "Renderer/QTVisualContextTexture.h"

#include <GL/gl.h>

#include "Source/SourceErr.h"
#include "platform/playback/VideoTexture.h"

QTVisualContextTexture::QTVisualContextTexture() {
  PanoProjection::ProjectionTile tile;
  tile.QuadrantMask = 15;
  SetProjectionTile(tile);
}

QTVisualContextTexture::~QTVisualContextTexture() = default;

eAppErr QTVisualContextTexture::SetCVTexture(std::shared_ptr<hc::playback::VideoTexture> frame) {
  m_texture = std::move(frame);
  UpdateTexCoords();
  PanoProjection::ProjectionTile tile = GetProjectionTile();
  tile.FullRect = tile.TileRect;
  SetProjectionTile(tile);
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::SetCVTexturePointer(void* frame) {
  const auto* shared = static_cast<const std::shared_ptr<hc::playback::VideoTexture>*>(frame);
  return SetCVTexture(shared ? *shared : nullptr);
}

eAppErr QTVisualContextTexture::UpdateTexCoords() {
  if (!m_texture) return KS_TRACE_ERR(AppErr::kNotReady, "UpdateTexCoords");
  const auto& clean = m_texture->CleanTexCoords();
  for (size_t i = 0; i < m_corners.size(); ++i) m_corners[i] = {clean[i].x, clean[i].y};
  const KsPointF farCorner = m_texture->IsFlipped() ? m_corners[1] : m_corners[2];
  PanoProjection::ProjectionTile tile = GetProjectionTile();
  tile.TileRect = KsRectF(0, 0, farCorner.x, farCorner.y);
  SetProjectionTile(tile);
  m_coordsValid = true;
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::Activate() {
  if (!m_texture) return AppErr::kNoErr;
  glEnable(m_texture->Target());
  glBindTexture(m_texture->Target(), m_texture->Name());
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::Deactivate() {
  if (!m_texture) return AppErr::kNoErr;
  glBindTexture(m_texture->Target(), 0);
  glDisable(m_texture->Target());
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::GetFullCoordRange(KsPointF* out) {
  if (!out) return KS_TRACE_ERR(AppErr::kBadArgument, "GetFullCoordRange");
  const KsRectF& rect = GetProjectionTile().TileRect;
  *out = {rect.w, rect.h};
  return AppErr::kNoErr;
}

eAppErr QTVisualContextTexture::ImagePointToTexture(const KsPointF& imagePoint, KsPointF* textureCoord) {
  if (!textureCoord) return KS_TRACE_ERR(AppErr::kBadArgument, "ImagePointToTexture");
  if (!m_texture || !m_coordsValid) {
    KS_TRACE(KsTrace::kError, "No texture ref");
    *textureCoord = {0.0f, 0.0f};
    return AppErr::kNoErr;
  }
  const KsPointF& lowerLeft = m_corners[0];
  const KsPointF& upperRight = m_corners[2];
  const KsPointF& upperLeft = m_corners[3];
  textureCoord->x = upperLeft.x + (upperRight.x - upperLeft.x) * imagePoint.x;
  textureCoord->y = upperLeft.y + (lowerLeft.y - upperLeft.y) * imagePoint.y;
  return AppErr::kNoErr;
}
