#pragma once

#include "Projection/PanoProjection.h"

// The projection of a flat, non-panoramic image: it maps no direction to the
// image and no point to a direction, and has no size for a resolution.
class PlanarProjection : public PanoProjection {
  HC_CLASS_HEADER(PlanarProjection)
 public:
  PlanarProjection();
  ~PlanarProjection() override;

  bool GetPointForAngleRad(float pan, float tilt, float* x, float* y) override;
  bool GetAngleRadForPoint(float x, float y, float* pan, float* tilt) override;
  KsSizeF GetDimensionsForCleanArea(float area) override;
  KsSizeF GetDimensionsForAngularResolutionPPD(KsPointF ppd) override;
  // Only another planar projection can be equal.
  bool Compare(const KsRef<PanoProjection>& other) override;
  KsPointF GetAngularResolutionPPD(KsSize<int> dimensions) override;
  float GetCleanArea(KsSize<int> dimensions) override;
};
HC_CLASS_OBJECT(PlanarProjection, PanoProjection)
