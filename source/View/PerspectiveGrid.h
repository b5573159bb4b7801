#pragma once

#include "View/PanTiltGrid.h"

// The mesh of the perspective view: a cylinder band of radius R within 45
// degrees of the horizon and a sphere beyond it. Both put a direction's
// vertex on the same ray from the centre, so the picture has no seam.
class PerspectiveGrid : public PanTiltGrid {
  HC_CLASS_HEADER(PerspectiveGrid)
 public:
  PerspectiveGrid();
  ~PerspectiveGrid() override;

  void PanTiltToVertex(float panDeg, float tiltDeg, Vertex* vertex) override;
  float GetRadius() const { return m_radius; }

 private:
  float m_radius = 10.0f;
};
HC_CLASS_OBJECT(PerspectiveGrid, PanTiltGrid)
