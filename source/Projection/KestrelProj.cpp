#include "Projection/KestrelProj.h"

KestrelProj::KestrelProj() {
  StoreRadialFunc(KsMakeRef<KestrelFunc>());
  SetName("Kestrel Optic");
}

KestrelProj::~KestrelProj() = default;

bool KestrelProj::Compare(const KsRef<PanoProjection>& other) {
  return other.DynamicCast<KestrelProj>() && RadialFuncProj::Compare(other);
}

float KestrelProj::GetApexDistance() const {
  KsRef<KestrelFunc> function = GetKestrelFunc();
  return function ? function->GetApexDistance() : 0.0f;
}

eAppErr KestrelProj::SetApexDistance(float distance) {
  DidChangeCaller change(this, kApexDistanceId);
  KsRef<KestrelFunc> function = GetKestrelFunc();
  if (!function) return KS_TRACE_ERR(AppErr::kNotReady, "SetApexDistance");
  return function->SetApexDistance(distance);
}

float KestrelProj::GetAngleCenterDeg() const {
  KsRef<KestrelFunc> function = GetKestrelFunc();
  return function ? function->GetAngleCenterDeg() : 0.0f;
}

float KestrelProj::GetAngleEdgeDeg() const {
  KsRef<KestrelFunc> function = GetKestrelFunc();
  return function ? function->GetAngleEdgeDeg() : 0.0f;
}
