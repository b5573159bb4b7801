#include "View/PerspectiveView.h"

#include <algorithm>
#include <cmath>

#include "General/AngleNormalization.h"
#include "Responder/KeyboardVelocityResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "View/ViewMath.h"

namespace {

// The camera the view draws with (see LookRotate) and its focal length in
// pixels.
struct Camera {
  double pan, tilt, skew, focal;

  ViewVec3 ToCamera(const ViewVec3& world) const { return LookRotate(world, pan, tilt, skew); }
  ViewVec3 ToWorld(const ViewVec3& camera) const { return LookUnrotate(camera, pan, tilt, skew); }
};

}  // namespace

PerspectiveView::PerspectiveView() { UpdateGeometry(); }
PerspectiveView::~PerspectiveView() = default;

KsRef<MouseResponder> PerspectiveView::CreateDefaultMouseResponder() { return KsMakeRef<MouseVelocityResponder>(); }

KsRef<KeyboardResponder> PerspectiveView::CreateDefaultKeyboardResponder() {
  return KsMakeRef<KeyboardVelocityResponder>();
}

eAppErr PerspectiveView::SetLookDirection(float pan, float tilt, float vfov, float skew) {
  const eAppErr err = PanoView::SetLookDirection(pan, tilt, vfov, skew);
  UpdateGeometry();
  return err;
}

float PerspectiveView::GetDrawnVFOV() { return m_constrainedVFOV; }

void PerspectiveView::UpdateGeometry() {
  const float height = GetFrame().h;
  m_focalLength = height / (2.0f * std::tan(DegToRad(GetDrawnVFOV()) * 0.5f));
  const float tilt = DegToRad(m_constrainedTilt);
  if (std::fabs(tilt) < 1e-5f) return;
  // Looking up the verticals meet at the zenith above the centre, looking
  // down at the nadir below it.
  m_vanishingOffset = m_focalLength * std::tan((tilt > 0.0f ? kHalfPi : -kHalfPi) - tilt);
  m_horizonOffset = m_focalLength * std::tan(-tilt);
  m_vanishingDistance = std::hypot(m_vanishingOffset, m_focalLength);
  m_horizonDistance = std::hypot(m_horizonOffset, m_focalLength);
}

eAppErr PerspectiveView::DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) {
  if (!pan || !tilt) return KS_TRACE_ERR(AppErr::kBadArgument, "DirectionAtPointDeg");
  UpdateGeometry();
  if (!AllFinite(point.x, point.y)) return kOutsideImage;
  const KsRectF frame = GetFrame();
  const Camera camera{GetDrawnPan(), m_constrainedTilt, m_constrainedSkew, m_focalLength};
  const ViewVec3 ray{point.x - (frame.x + frame.w * 0.5), point.y - (frame.y + frame.h * 0.5), -camera.focal};
  const ViewVec3 world = camera.ToWorld(ray);
  *pan = NormalizeDegrees(static_cast<float>(RadToDegD(std::atan2(world.z, world.x))));
  *tilt = static_cast<float>(RadToDegD(std::atan2(world.y, std::hypot(world.x, world.z))));
  return AppErr::kNoErr;
}

eAppErr PerspectiveView::PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) {
  if (image > 0) return KS_TRACE_ERR(AppErr::kBadArgument, "PointAtDirectionDeg");
  if (!point) return KS_TRACE_ERR(AppErr::kBadArgument, "PointAtDirectionDeg");
  if (!AllFinite(pan, tilt)) return kOutsideImage;
  UpdateGeometry();
  const KsRectF frame = GetFrame();
  const Camera camera{GetDrawnPan(), m_constrainedTilt, m_constrainedSkew, m_focalLength};
  const ViewVec3 c = camera.ToCamera(DirectionOfPanTiltDeg(pan, tilt));
  // On or behind the eye's plane the direction has no point in the picture.
  if (!(c.z < -1e-9)) return kOutsideImage;
  const double scale = camera.focal / -c.z;
  point->x = static_cast<float>(frame.x + frame.w * 0.5 + c.x * scale);
  point->y = static_cast<float>(frame.y + frame.h * 0.5 + c.y * scale);
  return frame.Contains(*point) ? AppErr::kNoErr : kOutsideFrame;
}

eAppErr PerspectiveView::GetTiltLimitFlags(bool* atUpper, bool* atLower) {
  const float halfV = m_constrainedVFOV * 0.5f;
  if (atUpper) *atUpper = m_constrainedTilt > m_tiltLimitMax - halfV;
  if (atLower) *atLower = m_constrainedTilt < halfV + m_tiltLimitMin;
  return AppErr::kNoErr;
}

void PerspectiveView::ConstrainLookDirection() {
  if (GetLookConstraints() & kConstrainToSource) {
    float& v = m_constrainedVFOV;
    if (v > m_tiltLimitMax - m_tiltLimitMin) v = m_tiltLimitMax - m_tiltLimitMin;
    const float halfV = v * 0.5f;
    const KsRectF frame = GetFrame();
    const float aspect = frame.h != 0.0f ? frame.w / frame.h : 1.0f;
    const float halfH = RadToDeg(std::atan(aspect * std::tan(DegToRad(halfV))));
    float& p = m_constrainedPan;
    if (std::fabs(m_panLimitMax - m_panLimitMin) < 360.0f) {
      if (m_panLimitMax > m_panLimitMin) {
        if (p < m_panLimitMin + halfH) p = m_panLimitMin + halfH;
        if (p > m_panLimitMax - halfH) p = m_panLimitMax - halfH;
      } else if (p > m_panLimitMax - halfH && p < m_panLimitMin + halfH) {
        const float mid = (m_panLimitMin - m_panLimitMax) * 0.5f + m_panLimitMax;
        p = p >= mid ? m_panLimitMin + halfH : m_panLimitMax - halfH;
      }
    }
    float& t = m_constrainedTilt;
    if (m_tiltLimitMax < 90.0f && t > m_tiltLimitMax - halfV) t = m_tiltLimitMax - halfV;
    if (m_tiltLimitMin > -90.0f && t < m_tiltLimitMin + halfV) t = m_tiltLimitMin + halfV;
  }
  if (m_constrainedVFOV > 120.0f) m_constrainedVFOV = 120.0f;
}
