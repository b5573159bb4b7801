#include "View/PerspectiveGrid.h"

#include <cmath>

#include "View/ViewMath.h"

PerspectiveGrid::PerspectiveGrid() = default;
PerspectiveGrid::~PerspectiveGrid() = default;

void PerspectiveGrid::PanTiltToVertex(float panDeg, float tiltDeg, Vertex* vertex) {
  const float pan = DegToRad(panDeg);
  const float tilt = DegToRad(tiltDeg);
  *vertex = Vertex{};
  if (std::fabs(tiltDeg) < 45.0f) {
    vertex->x = m_radius * std::cos(pan);
    vertex->y = m_radius * std::tan(tilt);
    vertex->z = m_radius * std::sin(pan);
  } else {
    vertex->x = m_radius * std::cos(pan) * std::cos(tilt);
    vertex->y = m_radius * std::sin(tilt);
    vertex->z = m_radius * std::sin(pan) * std::cos(tilt);
  }
  vertex->pan = pan;
  vertex->tilt = tilt;
}
