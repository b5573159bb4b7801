#include "View/CylinderGrid.h"

#include <algorithm>
#include <cmath>

#include "Renderer/PanoRenderer.h"
#include "View/ViewMath.h"

CylinderGrid::CylinderGrid() = default;
CylinderGrid::~CylinderGrid() = default;

void CylinderGrid::PanTiltToVertex(float panDeg, float tiltDeg, Vertex* vertex) {
  const float limit = 90.0f - kPoleMarginDeg;
  const float tilt = std::clamp(tiltDeg, -limit, limit);
  *vertex = Vertex{};
  vertex->x = panDeg;
  vertex->y = std::tan(DegToRad(tilt)) * kRadiansToDegrees;
  vertex->pan = DegToRad(panDeg);
  vertex->tilt = DegToRad(tilt);
}

eAppErr CylinderGrid::DrawQuadrant(const KsRef<PanoRenderer>& renderer, uint32_t quadrant) {
  if (!renderer) return KS_TRACE_ERR(AppErr::kBadArgument, "DrawQuadrant");
  PanTiltGrid::DrawQuadrant(renderer, quadrant);
  renderer->ModelViewTranslate(360.0f, 0.0f, 0.0f);
  PanTiltGrid::DrawQuadrant(renderer, quadrant);
  renderer->ModelViewTranslate(-720.0f, 0.0f, 0.0f);
  PanTiltGrid::DrawQuadrant(renderer, quadrant);
  return renderer->ModelViewTranslate(360.0f, 0.0f, 0.0f);
}
