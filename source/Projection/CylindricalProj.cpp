#include "Projection/CylindricalProj.h"

CylindricalProj::CylindricalProj() {
  StoreVerticalFunc(KsMakeRef<CylindricalFunc>());
  SetName("Cylindrical");
}

CylindricalProj::~CylindricalProj() = default;

float CylindricalProj::GetTiltMinDeg() {
  KsRef<CylindricalFunc> function = GetCylindricalFunc();
  return function ? function->GetAngleMinDeg() : StoredTiltMinDeg();
}

float CylindricalProj::GetTiltMaxDeg() {
  KsRef<CylindricalFunc> function = GetCylindricalFunc();
  return function ? function->GetAngleMaxDeg() : StoredTiltMaxDeg();
}

eAppErr CylindricalProj::SetTiltMinDeg(float degrees) {
  DidChangeCaller tilt(this, kTiltMinDegId);
  DidChangeCaller editor(this, kEditorTiltMinId);
  KsRef<CylindricalFunc> function = GetCylindricalFunc();
  if (!function) return KS_TRACE_ERR(AppErr::kNotReady, "SetTiltMinDeg");
  return function->SetAngleMinDeg(degrees);
}

eAppErr CylindricalProj::SetTiltMaxDeg(float degrees) {
  DidChangeCaller tilt(this, kTiltMaxDegId);
  DidChangeCaller editor(this, kEditorTiltMaxId);
  KsRef<CylindricalFunc> function = GetCylindricalFunc();
  if (!function) return KS_TRACE_ERR(AppErr::kNotReady, "SetTiltMaxDeg");
  return function->SetAngleMaxDeg(degrees);
}

bool CylindricalProj::Compare(const KsRef<PanoProjection>& other) {
  return other.DynamicCast<CylindricalProj>() && CartesianFuncProj::Compare(other);
}

eAppErr CylindricalProj::SetVerticalFunc(const KsRef<ProjectionAngleFunc>& function) {
  DidChangeCaller change(this, kVerticalFuncId);
  if (function && !function.DynamicCast<CylindricalFunc>()) return KS_TRACE_ERR(AppErr::kBadArgument, "SetVerticalFunc");
  return CartesianFuncProj::SetVerticalFunc(function);
}
