#include "Projection/ProjectionAngleFunc.h"

#include "Projection/AngleUnits.h"

ProjectionAngleFunc::ProjectionAngleFunc() { StoreDomain(0.0f, 1.0f); }
ProjectionAngleFunc::~ProjectionAngleFunc() = default;

eAppErr ProjectionAngleFunc::MoveTiltMinDeg(float, float) {
  return KS_TRACE_ERR(AppErr::kUnsupportedType, "MoveTiltMinDeg");
}

eAppErr ProjectionAngleFunc::MoveTiltMaxDeg(float, float) {
  return KS_TRACE_ERR(AppErr::kUnsupportedType, "MoveTiltMaxDeg");
}

eAppErr ProjectionAngleFunc::MoveHorizon(float, float) {
  return KS_TRACE_ERR(AppErr::kUnsupportedType, "MoveHorizon");
}

float ProjectionAngleFunc::GetRelativeImageRange() { return GetDomainMax() - GetDomainMin(); }

float ProjectionAngleFunc::GetAngleMaxDeg() { return GetDomainMax() * kRadiansToDegrees; }
float ProjectionAngleFunc::GetAngleMinDeg() { return GetDomainMin() * kRadiansToDegrees; }

eAppErr ProjectionAngleFunc::SetAngleMaxDeg(float degrees) {
  DidChangeCaller change(this, kAngleMaxDegId);
  return SetDomainMax(degrees * kDegreesToRadians);
}

eAppErr ProjectionAngleFunc::SetAngleMinDeg(float degrees) {
  DidChangeCaller change(this, kAngleMinDegId);
  return SetDomainMin(degrees * kDegreesToRadians);
}
