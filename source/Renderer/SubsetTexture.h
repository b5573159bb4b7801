#pragma once

#include "General/KsRect.h"
#include "Renderer/HcTexture.h"

// A rectangle of another texture shown as a texture of its own: points of
// the subset map into the rectangle of the base texture.
class SubsetTexture : public HcTexture {
  HC_CLASS_HEADER(SubsetTexture)
 public:
  enum : int32_t { kBaseTextureId = 300, kTexRect0to1Id = 301 };

  SubsetTexture();
  ~SubsetTexture() override;

  eAppErr GetCanCreate() override;
  eAppErr Activate() override;
  eAppErr Deactivate() override;
  eAppErr GetFullCoordRange(KsPointF* out) override;
  eAppErr ImagePointToTexture(const KsPointF& imagePoint, KsPointF* textureCoord) override;

  KsRef<HcTexture> GetBaseTexture() const { return m_baseTexture; }
  eAppErr SetBaseTexture(const KsRef<HcTexture>& texture);
  KsRectF GetTexRect0to1() const { return m_texRect; }
  eAppErr SetTexRect0to1(const KsRectF& rect);

 private:
  KsRef<HcTexture> m_baseTexture;
  KsRectF m_texRect{0.0f, 0.0f, 1.0f, 1.0f};
};
HC_CLASS_OBJECT(SubsetTexture, HcTexture)
