#include "Projection/PlanarProjection.h"

PlanarProjection::PlanarProjection() { SetEditorViewsetType("PlanarProjection"); }
PlanarProjection::~PlanarProjection() = default;

bool PlanarProjection::GetPointForAngleRad(float, float, float*, float*) { return false; }
bool PlanarProjection::GetAngleRadForPoint(float, float, float*, float*) { return false; }
KsSizeF PlanarProjection::GetDimensionsForCleanArea(float) { return {}; }
KsSizeF PlanarProjection::GetDimensionsForAngularResolutionPPD(KsPointF) { return {}; }
KsPointF PlanarProjection::GetAngularResolutionPPD(KsSize<int>) { return {}; }
float PlanarProjection::GetCleanArea(KsSize<int>) { return 0.0f; }

bool PlanarProjection::Compare(const KsRef<PanoProjection>& other) {
  return other.DynamicCast<PlanarProjection>() && PanoProjection::Compare(other);
}
