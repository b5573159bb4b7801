#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "Projection/PanoProjection.h"

// One texture showing one tile of a source image, with the image's
// projection, so that a viewing direction can be turned into texture
// coordinates on it.
class HcTexture : public KsObject {
  HC_CLASS_HEADER(HcTexture)
 public:
  HcTexture();
  ~HcTexture() override;

  // Lays the texture out and says whether it can be made (0) or why not.
  virtual eAppErr GetCanCreate() = 0;
  // Enables the texture's target and binds it (and its shader, if it has one).
  virtual eAppErr Activate() = 0;
  virtual eAppErr Deactivate() = 0;
  // Texture coordinates of the texture's far corner.
  virtual eAppErr GetFullCoordRange(KsPointF* out) = 0;
  // Texture coordinates of a point of the whole image in normalised image
  // coordinates (0, 0 top-left, 1, 1 bottom-right).
  virtual eAppErr ImagePointToTexture(const KsPointF& imagePoint, KsPointF* textureCoord) = 0;

  eAppErr SetProjectionTile(const PanoProjection::ProjectionTile& tile);
  const PanoProjection::ProjectionTile& GetProjectionTile() const { return m_tile; }
  eAppErr SetProjection(const KsRef<PanoProjection>& projection);
  KsRef<PanoProjection> GetProjection() const { return m_projection; }
  // Direction (x pan, y tilt, radians) to texture coordinates; 1101 when the
  // direction lies outside the image (coordinates still computed).
  eAppErr PanTiltRadToTexture(const KsPointF& panTiltRad, KsPointF* textureCoord);

  float GetImageAspect() const { return m_imageAspect; }
  void SetImageAspect(float aspect) { m_imageAspect = aspect; }

 private:
  float m_imageAspect = 1.0f;
  PanoProjection::ProjectionTile m_tile{};
  KsRef<PanoProjection> m_projection;
};
HC_CLASS_OBJECT(HcTexture, KsObject)
