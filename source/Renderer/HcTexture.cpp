#include "Renderer/HcTexture.h"

#include "Source/SourceErr.h"

HcTexture::HcTexture() = default;
HcTexture::~HcTexture() = default;

eAppErr HcTexture::SetProjectionTile(const PanoProjection::ProjectionTile& tile) {
  m_tile = tile;
  return AppErr::kNoErr;
}

eAppErr HcTexture::SetProjection(const KsRef<PanoProjection>& projection) {
  m_projection = projection;
  return AppErr::kNoErr;
}

eAppErr HcTexture::PanTiltRadToTexture(const KsPointF& panTiltRad, KsPointF* textureCoord) {
  if (!m_projection) return KS_TRACE_ERR(AppErr::kNotReady, "PanTiltRadToTexture");
  if (!textureCoord) return KS_TRACE_ERR(AppErr::kBadArgument, "PanTiltRadToTexture");
  float x = 0.0f;
  float y = 0.0f;
  const bool inside = m_projection->GetPointForAngleRad(panTiltRad.x, panTiltRad.y, &x, &y);
  const eAppErr err = ImagePointToTexture(KsPointF{x, y}, textureCoord);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "PanTiltRadToTexture");
  return inside ? err : AppErr::kDirectionOutsideImage;
}
