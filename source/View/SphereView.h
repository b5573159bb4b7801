#pragma once

#include <cstdint>

#include "View/PanoView.h"

// The surround on the inside of a sphere, seen through a perspective camera
// that can be pulled back from the centre (the radial offset, in radii,
// never positive): at the centre it looks like the perspective view, pulled
// back it allows very wide fields of view (up to 230 degrees). The offset
// follows the requested field of view. Points map through the sphere's own
// camera, in the frame's space with y upward.
class SphereView : public PanoView {
  HC_CLASS_HEADER(SphereView)
 public:
  enum : int32_t { kRadialOffsetId = 500 };

  SphereView();
  ~SphereView() override;

  KsRef<MouseResponder> CreateDefaultMouseResponder() override;
  KsRef<KeyboardResponder> CreateDefaultKeyboardResponder() override;
  // 0, or 1101 for a point whose ray misses the sphere.
  eAppErr DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) override;
  // 0; 1102 outside the frame (the point written); 1101 for a direction the
  // camera doesn't see (behind it, or on the sphere's near side when the
  // camera is outside it; nothing written); -2 for an image above 0.
  eAppErr PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) override;
  void ConstrainLookDirection() override;
  virtual eAppErr UpdateGeometry();

  float GetRadialOffset() const { return m_radialOffset; }
  // A positive offset is negated, one below -10 becomes -10.
  eAppErr SetRadialOffset(float offset);
  // The camera's vertical field of view, degrees.
  float GetCameraVFOV();
  // The radius of the sphere drawn; the offset is measured in it.
  virtual float GetSphereRadius();

 private:
  float m_radialOffset = -1.0f;
  bool m_automaticOffset = true;
};
HC_CLASS_OBJECT(SphereView, PanoView)
