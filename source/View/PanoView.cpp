#include "View/PanoView.h"

#include <algorithm>
#include <cmath>

#include "General/AngleNormalization.h"
#include "View/ViewMath.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"

namespace {

// The 35 mm film frame's half height, in millimetres.
constexpr float kFilmHalfHeight = 12.0f;

}  // namespace

PanoView::PanoView() = default;
PanoView::~PanoView() = default;

uint32_t PanoView::GetNumberOfImages() { return 1; }

eAppErr PanoView::GetLookDirection(float* pan, float* tilt, float* vfov, float* skew) {
  if (pan) *pan = m_requestedPan;
  if (tilt) *tilt = m_requestedTilt;
  if (vfov) *vfov = m_requestedVFOV;
  if (skew) *skew = m_requestedSkew;
  return AppErr::kNoErr;
}

eAppErr PanoView::GetConstrainedLookDirection(float* pan, float* tilt, float* vfov, float* skew) {
  if (pan) *pan = m_constrainedPan;
  if (tilt) *tilt = m_constrainedTilt;
  if (vfov) *vfov = m_constrainedVFOV;
  if (skew) *skew = m_constrainedSkew;
  return AppErr::kNoErr;
}

eAppErr PanoView::SetLookDirection(float pan, float tilt, float vfov, float skew) {
  // A direction that is not finite is ignored like a too narrow field.
  if (!(vfov >= kSmallestVFOV) || !std::isfinite(pan) || !std::isfinite(tilt) || !std::isfinite(vfov) ||
      !std::isfinite(skew)) {
    return AppErr::kNoErr;
  }
  DidChangeCaller panChange(this, kPanAngleId);
  DidChangeCaller tiltChange(this, kTiltAngleId);
  DidChangeCaller vfovChange(this, kVFOVId);
  DidChangeCaller skewChange(this, kSkewId);
  DidChangeCaller displayChange(this, kNeedsDisplayId);
  m_requestedPan = NormalizeDegrees(pan);
  m_requestedTilt = tilt;
  m_requestedVFOV = vfov;
  m_requestedSkew = skew;
  ApplyLookConstraints();
  ++m_lookCounter;
  return AppErr::kNoErr;
}

void PanoView::RefreshLimitsFromSource() {
  KsRef<PanoSource> source = GetSource();
  if (!source || !(m_lookConstraints & kConstrainToSource)) return;
  KsRef<PanoProjection> projection = source->GetProjection();
  if (!projection) return;
  projection->GetPanRange(&m_panLimitMin, &m_panLimitMax);
  projection->GetTiltRange(&m_tiltLimitMin, &m_tiltLimitMax);
  const float constraintMin = projection->GetConstraintPanMin();
  const float constraintMax = projection->GetConstraintPanMax();
  if (constraintMax - constraintMin < m_panLimitMax - m_panLimitMin) {
    m_panLimitMin = constraintMin;
    m_panLimitMax = constraintMax;
  }
  m_tiltLimitMin = std::max(m_tiltLimitMin, projection->GetConstraintTiltMin());
  m_tiltLimitMax = std::min(m_tiltLimitMax, projection->GetConstraintTiltMax());
}

// Keeps the whole horizontal field of view inside the pan limits: the
// centre of the view stays half the field away from either limit. A range
// that passes through 360 (maximum below minimum) is measured the short way
// round; a range narrower than the field keeps the view on its centre.
void PanoView::ConstrainPanToLimits() {
  float span = m_panLimitMax - m_panLimitMin;
  if (!(std::fabs(span) < 360.0f)) return;
  if (span <= 0.0f) span += 360.0f;
  const KsRectF frame = GetFrame();
  const float aspect = frame.h != 0.0f ? frame.w / frame.h : 1.0f;
  const float halfV = DegToRad(m_constrainedVFOV) * 0.5f;
  const float halfH = RadToDeg(std::atan(std::tan(halfV) * aspect));
  const float centre = m_panLimitMin + span * 0.5f;
  const float offset = NormalizeDegreesSigned(m_constrainedPan - centre);
  const float room = span * 0.5f - halfH;
  if (room <= 0.0f) {
    m_constrainedPan = NormalizeDegrees(centre);
  } else if (offset < -room) {
    m_constrainedPan = NormalizeDegrees(m_panLimitMin + halfH);
  } else if (offset > room) {
    m_constrainedPan = NormalizeDegrees(m_panLimitMax - halfH);
  }
}

void PanoView::ApplyLookConstraints() {
  m_constrainedPan = m_requestedPan;
  RefreshLimitsFromSource();
  m_constrainedVFOV = m_requestedVFOV;
  if (m_constrainedVFOV < m_vfovMin) m_constrainedVFOV = m_vfovMin;
  if (m_constrainedVFOV > m_vfovMax) m_constrainedVFOV = m_vfovMax;
  m_constrainedPan = NormalizeDegrees(m_constrainedPan);
  ConstrainPanToLimits();
  m_constrainedTilt = m_requestedTilt;
  if (m_lookConstraints & kConstrainTilt90) m_constrainedTilt = std::clamp(m_constrainedTilt, -90.0f, 90.0f);
  m_constrainedSkew = m_requestedSkew;
  ConstrainLookDirection();
  if (m_lookConstraints & kWriteBackConstrained) {
    m_requestedPan = m_constrainedPan;
    m_requestedTilt = m_constrainedTilt;
    m_requestedVFOV = m_constrainedVFOV;
  }
}

void PanoView::ConstrainLookDirection() {}

eAppErr PanoView::GetTiltLimitFlags(bool* atUpper, bool* atLower) {
  if (atUpper) *atUpper = false;
  if (atLower) *atLower = false;
  return AppErr::kNoErr;
}

eAppErr PanoView::GetPreTransformXYZForDirectionRad(const KsPointF&, float, float*, float*, float*) {
  return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetPreTransformXYZForDirectionRad");
}

eAppErr PanoView::ChangeLookDirection(float dPan, float dTilt, float dVfov, float dSkew) {
  float pan = 0.0f;
  float tilt = 0.0f;
  float vfov = 0.0f;
  float skew = 0.0f;
  eAppErr err = GetLookDirection(&pan, &tilt, &vfov, &skew);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ChangeLookDirection");
  err = SetLookDirection(pan + dPan, tilt + dTilt, vfov + dVfov, skew + dSkew);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "ChangeLookDirection");
  return err;
}

uint64_t PanoView::GetLookGeneration() {
  const uint32_t first = m_lookCounter + GetFrameCounter();
  return static_cast<uint64_t>(m_generationWord) << 32 | first;
}

float PanoView::GetPanAngle() {
  float pan = 0.0f;
  GetLookDirection(&pan, nullptr, nullptr, nullptr);
  return pan;
}

eAppErr PanoView::SetPanAngle(float pan) {
  float tilt = 0.0f;
  float vfov = 0.0f;
  float skew = 0.0f;
  GetLookDirection(nullptr, &tilt, &vfov, &skew);
  return SetLookDirection(pan, tilt, vfov, skew);
}

float PanoView::GetTiltAngle() {
  float tilt = 0.0f;
  GetLookDirection(nullptr, &tilt, nullptr, nullptr);
  return tilt;
}

eAppErr PanoView::SetTiltAngle(float tilt) {
  float pan = 0.0f;
  float vfov = 0.0f;
  float skew = 0.0f;
  GetLookDirection(&pan, nullptr, &vfov, &skew);
  return SetLookDirection(pan, tilt, vfov, skew);
}

float PanoView::GetVFOV() {
  float vfov = 0.0f;
  GetLookDirection(nullptr, nullptr, &vfov, nullptr);
  return vfov;
}

eAppErr PanoView::SetVFOV(float vfov) {
  float pan = 0.0f;
  float tilt = 0.0f;
  float skew = 0.0f;
  GetLookDirection(&pan, &tilt, nullptr, &skew);
  return SetLookDirection(pan, tilt, vfov, skew);
}

float PanoView::GetSkew() {
  float skew = 0.0f;
  GetLookDirection(nullptr, nullptr, nullptr, &skew);
  return skew;
}

eAppErr PanoView::SetSkew(float skew) {
  float pan = 0.0f;
  float tilt = 0.0f;
  float vfov = 0.0f;
  GetLookDirection(&pan, &tilt, &vfov, nullptr);
  return SetLookDirection(pan, tilt, vfov, skew);
}

float PanoView::GetConstrainedVFOV() {
  float vfov = 0.0f;
  GetConstrainedLookDirection(nullptr, nullptr, &vfov, nullptr);
  return vfov;
}

eAppErr PanoView::SetVFOVMin(float vfov) {
  DidChangeCaller change(this, kVFOVMinId);
  m_vfovMin = vfov;
  return AppErr::kNoErr;
}

eAppErr PanoView::SetVFOVMax(float vfov) {
  DidChangeCaller change(this, kVFOVMaxId);
  m_vfovMax = vfov;
  return AppErr::kNoErr;
}

eAppErr PanoView::SetLookConstraints(uint32_t constraints) {
  m_lookConstraints = constraints;
  return AppErr::kNoErr;
}

float PanoView::GetFocalLength35mm() {
  return kFilmHalfHeight / std::tan(DegToRad(GetConstrainedVFOV()) * 0.5f);
}

// 2 atan2(12, f): 180 degrees at f = 0, above 180 for a negative focal
// length, which the field-of-view limits then clamp.
eAppErr PanoView::SetFocalLength35mm(float focalLength) {
  SetVFOV(2.0f * RadToDeg(std::atan2(kFilmHalfHeight, focalLength)));
  return AppErr::kNoErr;
}

float PanoView::GetPanAngleWithSourceOffset() {
  float pan = GetPanAngle();
  KsRef<PanoSource> source = GetSource();
  if (source && (m_lookConstraints & kAddSourcePan)) pan += source->GetPanAngle();
  return pan;
}

float PanoView::GetDrawnPan() {
  float pan = m_constrainedPan;
  KsRef<PanoSource> source = GetSource();
  if (source && (m_lookConstraints & kAddSourcePan)) pan += source->GetPanAngle();
  return pan;
}

eAppErr PanoView::Draw(const KsRef<PanoRenderer>& renderer) {
  const eAppErr err = HcTexturedView::Draw(renderer);
  if (err == kNotDrawnYet) return kNotDrawnYet;
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  if (!GetSource()->GetProjection()) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  const eAppErr viewport = renderer->SetViewport(GetPixelFrame());
  if (AppErrFailed(viewport)) return KS_TRACE_ERR(viewport, "Draw");
  return viewport;
}
