#include "Projection/EquirectangularProj.h"

namespace {
float ClampToPole(float degrees) { return degrees < -89.9f ? -90.0f : degrees; }
}  // namespace

EquirectangularProj::EquirectangularProj() : m_linearVerticalFunc(KsMakeRef<LinearFunc>()) {
  SetVerticalFunc(m_linearVerticalFunc);
  SetTiltMinDeg(-90.0f);
  SetTiltMaxDeg(90.0f);
  SetName("Spherical");
}

EquirectangularProj::~EquirectangularProj() = default;

float EquirectangularProj::GetTiltMinDeg() {
  return m_linearVerticalFunc ? m_linearVerticalFunc->GetAngleMinDeg() : StoredTiltMinDeg();
}

float EquirectangularProj::GetTiltMaxDeg() {
  return m_linearVerticalFunc ? m_linearVerticalFunc->GetAngleMaxDeg() : StoredTiltMaxDeg();
}

eAppErr EquirectangularProj::SetTiltMinDeg(float degrees) {
  DidChangeCaller tilt(this, kTiltMinDegId);
  DidChangeCaller editor(this, kEditorTiltMinId);
  if (!m_linearVerticalFunc) return KS_TRACE_ERR(AppErr::kNotReady, "SetTiltMinDeg");
  const float limit = ClampToPole(degrees);
  StoreTiltMinDeg(limit);
  return m_linearVerticalFunc->SetAngleMinDeg(limit);
}

eAppErr EquirectangularProj::SetTiltMaxDeg(float degrees) {
  DidChangeCaller tilt(this, kTiltMaxDegId);
  DidChangeCaller editor(this, kEditorTiltMaxId);
  if (!m_linearVerticalFunc) return KS_TRACE_ERR(AppErr::kNotReady, "SetTiltMaxDeg");
  const float limit = ClampToPole(degrees);
  StoreTiltMaxDeg(limit);
  return m_linearVerticalFunc->SetAngleMaxDeg(limit);
}

bool EquirectangularProj::Compare(const KsRef<PanoProjection>& other) {
  return other.DynamicCast<EquirectangularProj>() && CartesianFuncProj::Compare(other);
}

eAppErr EquirectangularProj::SetVerticalFunc(const KsRef<ProjectionAngleFunc>& function) {
  DidChangeCaller change(this, kVerticalFuncId);
  KsRef<LinearFunc> linear = function.DynamicCast<LinearFunc>();
  if (function && !linear) return KS_TRACE_ERR(AppErr::kBadArgument, "SetVerticalFunc");
  const eAppErr err = CartesianFuncProj::SetVerticalFunc(function);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetVerticalFunc");
  m_linearVerticalFunc = linear;
  if (linear) {
    linear->SetMinValue(1.0f);
    linear->SetMaxValue(0.0f);
  }
  return AppErr::kNoErr;
}
