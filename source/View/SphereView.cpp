#include "View/SphereView.h"

#include <cmath>

#include "General/AngleNormalization.h"
#include "Responder/KeyboardVelocityResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "View/ViewMath.h"

namespace {

double Dot(const ViewVec3& a, const ViewVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

SphereView::SphereView() {
  m_requestedVFOV = 80.0f;
  m_constrainedVFOV = 80.0f;
  m_vfovMax = 230.0f;
}

SphereView::~SphereView() = default;

KsRef<MouseResponder> SphereView::CreateDefaultMouseResponder() { return KsMakeRef<MouseVelocityResponder>(); }

KsRef<KeyboardResponder> SphereView::CreateDefaultKeyboardResponder() {
  return KsMakeRef<KeyboardVelocityResponder>();
}

eAppErr SphereView::UpdateGeometry() { return AppErr::kNoErr; }

float SphereView::GetSphereRadius() { return 10.0f; }

eAppErr SphereView::SetRadialOffset(float offset) {
  if (!std::isfinite(offset)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetRadialOffset");
  if (offset > 0.0f) offset = -offset;
  if (offset < -10.0f) offset = -10.0f;
  m_radialOffset = offset;
  return AppErr::kNoErr;
}

void SphereView::ConstrainLookDirection() {
  if (!m_automaticOffset) return;
  const float v = m_requestedVFOV;
  if (v < 90.0f) {
    m_radialOffset = 0.0f;
  } else if (v < 180.0f) {
    m_radialOffset = (90.0f - v) / 90.0f;
  } else {
    m_radialOffset = -1.0f;
  }
}

float SphereView::GetCameraVFOV() {
  const float halfV = DegToRad(m_constrainedVFOV) * 0.5f;
  return 2.0f * RadToDeg(std::atan2(std::sin(halfV), std::cos(halfV) - m_radialOffset));
}

// The camera sits at the origin looking down -z; the sphere's centre lies
// |offset| radii ahead of it.
eAppErr SphereView::PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) {
  if (image > 0 || !point) return KS_TRACE_ERR(AppErr::kBadArgument, "PointAtDirectionDeg");
  if (!AllFinite(pan, tilt)) return kOutsideImage;
  const KsRectF frame = GetFrame();
  const double radius = GetSphereRadius();
  const ViewVec3 centre{0.0, 0.0, m_radialOffset * radius};
  const ViewVec3 onSphere = LookRotate(DirectionOfPanTiltDeg(pan, tilt), GetDrawnPan(), m_constrainedTilt,
                                       m_constrainedSkew);
  const ViewVec3 p{onSphere.x * radius + centre.x, onSphere.y * radius + centre.y,
                   onSphere.z * radius + centre.z};
  // Behind the camera, or where the ray enters the sphere (hidden by the
  // surface it leaves through) when the camera is outside.
  if (!(p.z < -1e-9) || Dot(p, {p.x - centre.x, p.y - centre.y, p.z - centre.z}) < 0.0) return kOutsideImage;
  const double focal = frame.h / (2.0 * std::tan(DegToRadD(GetCameraVFOV()) * 0.5));
  point->x = static_cast<float>(frame.x + frame.w * 0.5 + p.x * focal / -p.z);
  point->y = static_cast<float>(frame.y + frame.h * 0.5 + p.y * focal / -p.z);
  return frame.Contains(*point) ? AppErr::kNoErr : kOutsideFrame;
}

eAppErr SphereView::DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) {
  if (!pan || !tilt) return KS_TRACE_ERR(AppErr::kBadArgument, "DirectionAtPointDeg");
  if (!AllFinite(point.x, point.y)) return kOutsideImage;
  const KsRectF frame = GetFrame();
  const double focal = frame.h / (2.0 * std::tan(DegToRadD(GetCameraVFOV()) * 0.5));
  ViewVec3 ray{point.x - (frame.x + frame.w * 0.5), point.y - (frame.y + frame.h * 0.5), -focal};
  const double length = std::sqrt(Dot(ray, ray));
  ray = {ray.x / length, ray.y / length, ray.z / length};
  // The far crossing of the ray with the sphere, the surface that is drawn.
  const double radius = GetSphereRadius();
  const ViewVec3 centre{0.0, 0.0, m_radialOffset * radius};
  const double along = Dot(ray, centre);
  const double discriminant = along * along - Dot(centre, centre) + radius * radius;
  if (discriminant < 0.0) return kOutsideImage;
  const double distance = along + std::sqrt(discriminant);
  const ViewVec3 fromCentre{ray.x * distance - centre.x, ray.y * distance - centre.y, ray.z * distance - centre.z};
  const ViewVec3 world = LookUnrotate(fromCentre, GetDrawnPan(), m_constrainedTilt, m_constrainedSkew);
  *pan = NormalizeDegrees(static_cast<float>(RadToDegD(std::atan2(world.z, world.x))));
  *tilt = static_cast<float>(RadToDegD(std::atan2(world.y, std::hypot(world.x, world.z))));
  return AppErr::kNoErr;
}
