#pragma once

#include "View/PanTiltGrid.h"

// The mesh of the cylinder view: flat, in degree units, x the pan and y the
// tangent of the tilt scaled to the same units. Tilts are kept inside
// ±(90 - kPoleMarginDeg) so that no vertex reaches the tangent's pole.
class CylinderGrid : public PanTiltGrid {
  HC_CLASS_HEADER(CylinderGrid)
 public:
  static constexpr float kPoleMarginDeg = 0.5f;

  CylinderGrid();
  ~CylinderGrid() override;

  // Draws the quadrant three times, a turn to the left, in place and a turn
  // to the right, so that any window of 360 degrees is covered.
  eAppErr DrawQuadrant(const KsRef<PanoRenderer>& renderer, uint32_t quadrant) override;
  void PanTiltToVertex(float panDeg, float tiltDeg, Vertex* vertex) override;
};
HC_CLASS_OBJECT(CylinderGrid, PanTiltGrid)
