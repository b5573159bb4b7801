#include "View/SphereGrid.h"

#include <cmath>

#include "View/ViewMath.h"

SphereGrid::SphereGrid() = default;
SphereGrid::~SphereGrid() = default;

void SphereGrid::PanTiltToVertex(float panDeg, float tiltDeg, Vertex* vertex) {
  const float pan = DegToRad(panDeg);
  const float tilt = DegToRad(tiltDeg);
  *vertex = Vertex{};
  vertex->x = m_radius * std::cos(pan) * std::cos(tilt);
  vertex->y = m_radius * std::sin(tilt);
  vertex->z = m_radius * std::sin(pan) * std::cos(tilt);
  vertex->pan = pan;
  vertex->tilt = tilt;
}

eAppErr SphereGrid::SetRadius(float radius) {
  if (!(radius > 0.0f) || !std::isfinite(radius)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetRadius");
  ClearTable();
  m_radius = radius;
  return AppErr::kNoErr;
}
