#include "Projection/PanoProjection.h"

#include <algorithm>

#include "Projection/AngleUnits.h"

PanoProjection::PanoProjection() = default;
PanoProjection::~PanoProjection() = default;

float PanoProjection::GetTiltMinDeg() { return m_tiltMinDeg; }
float PanoProjection::GetTiltMaxDeg() { return m_tiltMaxDeg; }

eAppErr PanoProjection::SetTiltMinDeg(float degrees) {
  DidChangeCaller change(this, kTiltMinDegId);
  m_tiltMinDeg = degrees;
  BumpBaseSeed();
  return AppErr::kNoErr;
}

eAppErr PanoProjection::SetTiltMaxDeg(float degrees) {
  DidChangeCaller change(this, kTiltMaxDegId);
  m_tiltMaxDeg = degrees;
  BumpBaseSeed();
  return AppErr::kNoErr;
}

uint32_t PanoProjection::GetTilingCount() { return 1; }

eAppErr PanoProjection::SetImageAspect(float aspect) {
  DidChangeCaller change(this, kImageAspectId);
  if (aspect != m_imageAspect) {
    m_imageAspect = aspect;
    BumpBaseSeed();
  }
  return AppErr::kNoErr;
}

bool PanoProjection::Compare(const KsRef<PanoProjection>& other) {
  if (!other) return false;
  const float otherOffset = other->GetZeroPanOffsetDeg() * kDegreesToRadians;
  // Both tilt ranges through the getters: a subclass whose range lives in a
  // function never updates the stored one, and would differ from itself.
  return m_imageAspect == other->GetImageAspect() && GetTiltMinDeg() == other->GetTiltMinDeg() &&
         GetTiltMaxDeg() == other->GetTiltMaxDeg() && m_zeroPanOffset == otherOffset;
}

eAppErr PanoProjection::GetTiling(uint32_t index, ProjectionTile* tiles, uint32_t* count) {
  if (index != 0 || !tiles || !count) return KS_TRACE_ERR(AppErr::kBadArgument, "GetTiling");
  *count = 1;
  tiles[0].QuadrantMask = kAllQuadrants;
  const eAppErr err = GetRegionOfInterest(&tiles[0].TileRect);
  tiles[0].FullRect = tiles[0].TileRect;
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetTiling");
  return AppErr::kNoErr;
}

void PanoProjection::GetPanRange(float* min, float* max) {
  if (min) *min = 0.0f;
  if (max) *max = 360.0f;
}

UpdateSeed PanoProjection::GetUpdateSeed() { return m_seed; }

eAppErr PanoProjection::GetRegionOfInterest(KsRectF* region) {
  if (!region) return KS_TRACE_ERR(AppErr::kBadArgument, "GetRegionOfInterest");
  *region = KsRectF(0.0f, 0.0f, 1.0f, 1.0f);
  return AppErr::kNoErr;
}

eAppErr PanoProjection::SetEditorViewsetType(const PWStringRef& type) {
  DidChangeCaller change(this, kEditorViewsetTypeId);
  m_editorViewsetType = type;
  return AppErr::kNoErr;
}

float PanoProjection::GetZeroPanOffsetDeg() const { return m_zeroPanOffset * kRadiansToDegrees; }

eAppErr PanoProjection::SetZeroPanOffsetDeg(float degrees) {
  DidChangeCaller change(this, kZeroPanOffsetDegId);
  BumpBaseSeed();
  m_zeroPanOffset = degrees * kDegreesToRadians;
  return AppErr::kNoErr;
}

float PanoProjection::GetConstraintTiltMin() { return std::max(m_constraintTiltMin, GetTiltMinDeg()); }
float PanoProjection::GetConstraintTiltMax() { return std::min(m_constraintTiltMax, GetTiltMaxDeg()); }

eAppErr PanoProjection::StoreConstraint(int32_t propertyId, float& field, float degrees) {
  DidChangeCaller change(this, propertyId);
  field = degrees;
  BumpBaseSeed();
  return AppErr::kNoErr;
}

eAppErr PanoProjection::SetConstraintPanMin(float degrees) {
  return StoreConstraint(kConstraintPanMinId, m_constraintPanMin, degrees);
}
eAppErr PanoProjection::SetConstraintPanMax(float degrees) {
  return StoreConstraint(kConstraintPanMaxId, m_constraintPanMax, degrees);
}
eAppErr PanoProjection::SetConstraintTiltMin(float degrees) {
  return StoreConstraint(kConstraintTiltMinId, m_constraintTiltMin, degrees);
}
eAppErr PanoProjection::SetConstraintTiltMax(float degrees) {
  return StoreConstraint(kConstraintTiltMaxId, m_constraintTiltMax, degrees);
}

eAppErr PanoProjection::GetTiltRange(float* minTilt, float* maxTilt) {
  if (!minTilt || !maxTilt) return KS_TRACE_ERR(AppErr::kBadArgument, "GetTiltRange");
  *minTilt = GetTiltMinDeg();
  *maxTilt = GetTiltMaxDeg();
  return AppErr::kNoErr;
}
