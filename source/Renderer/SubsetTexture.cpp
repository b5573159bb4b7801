#include "Renderer/SubsetTexture.h"

#include <cmath>

SubsetTexture::SubsetTexture() = default;
SubsetTexture::~SubsetTexture() = default;

eAppErr SubsetTexture::GetCanCreate() { return AppErr::kNoErr; }

eAppErr SubsetTexture::Activate() {
  if (!m_baseTexture) return KS_TRACE_ERR(AppErr::kNotReady, "Activate");
  return m_baseTexture->Activate();
}

eAppErr SubsetTexture::Deactivate() {
  if (!m_baseTexture) return KS_TRACE_ERR(AppErr::kNotReady, "Deactivate");
  return m_baseTexture->Deactivate();
}

eAppErr SubsetTexture::GetFullCoordRange(KsPointF*) { return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetFullCoordRange"); }

eAppErr SubsetTexture::ImagePointToTexture(const KsPointF& imagePoint, KsPointF* textureCoord) {
  if (!m_baseTexture) return KS_TRACE_ERR(AppErr::kNotReady, "ImagePointToTexture");
  const KsPointF inBase{std::fmaf(imagePoint.x, m_texRect.w, m_texRect.x),
                        std::fmaf(imagePoint.y, m_texRect.h, m_texRect.y)};
  return m_baseTexture->ImagePointToTexture(inBase, textureCoord);
}

eAppErr SubsetTexture::SetBaseTexture(const KsRef<HcTexture>& texture) {
  m_baseTexture = texture;
  return AppErr::kNoErr;
}

eAppErr SubsetTexture::SetTexRect0to1(const KsRectF& rect) {
  m_texRect = rect;
  return AppErr::kNoErr;
}
