#pragma once

#include <cstdint>

#include "Projection/CubeFaceCollection.h"
#include "Projection/PanoProjection.h"

// An image holding the six 90-by-90-degree faces of a cube map on a grid of
// FacesWide by FacesHigh cells. It answers the size questions in terms of
// square faces; it maps no direction or point (both mappings answer false).
// A grid of zero faces answers zero sizes.
class CubicProjection : public PanoProjection {
  HC_CLASS_HEADER(CubicProjection)
 public:
  enum : int32_t { kCubeFaceConfigurationId = 300, kFacesWideId = 301, kFacesHighId = 302 };

  CubicProjection();
  ~CubicProjection() override;

  // The 3-by-2 layout: pan 0, 90 and 180 on the lower row; pan 270, up and
  // down on the upper row.
  static void Create3By2CubicProjection(KsRef<CubicProjection>& projection);

  bool GetPointForAngleRad(float pan, float tilt, float* x, float* y) override;
  bool GetAngleRadForPoint(float x, float y, float* pan, float* tilt) override;
  // Faces square, their side rounded to a multiple of 8 pixels.
  KsSizeF GetDimensionsForCleanArea(float area) override;
  KsSizeF GetDimensionsForAngularResolutionPPD(KsPointF ppd) override;
  // Per whole face: the face size is an integer quotient of the image size.
  KsPointF GetAngularResolutionPPD(KsSize<int> dimensions) override;
  float GetCleanArea(KsSize<int> dimensions) override;

  KsRef<CubeFaceCollection> GetCubeFaceConfiguration() const { return m_faces; }
  eAppErr SetCubeFaceConfiguration(const KsRef<CubeFaceCollection>& faces);
  uint32_t GetFacesWide() const { return m_facesWide; }
  uint32_t GetFacesHigh() const { return m_facesHigh; }
  eAppErr SetFacesWide(uint32_t faces);
  eAppErr SetFacesHigh(uint32_t faces);

 private:
  KsRef<CubeFaceCollection> m_faces;
  uint32_t m_facesWide = 0;
  uint32_t m_facesHigh = 0;
};
HC_CLASS_OBJECT(CubicProjection, PanoProjection)
