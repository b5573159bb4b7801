#pragma once

#include <cstdint>

#include "View/PanTiltGrid.h"

// The mesh of the sphere view: a sphere of radius R around the origin.
class SphereGrid : public PanTiltGrid {
  HC_CLASS_HEADER(SphereGrid)
 public:
  enum : int32_t { kRadiusId = 300 };

  SphereGrid();
  ~SphereGrid() override;

  void PanTiltToVertex(float panDeg, float tiltDeg, Vertex* vertex) override;

  float GetRadius() const { return m_radius; }
  // Clears the table (rebuilt at the next draw); -2 for a radius that is not
  // finite and above 0.
  eAppErr SetRadius(float radius);

 private:
  float m_radius = 10.0f;
};
HC_CLASS_OBJECT(SphereGrid, PanTiltGrid)
