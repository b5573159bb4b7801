#pragma once

#include "View/PanoView.h"

// A rectilinear (pinhole) view of the surround in the look direction, with
// the vertical field of view in degrees. Points are in the frame's space,
// y growing upward like the viewport's. The mapping between points and
// directions is computed from the view's own look direction and frame, the
// same rotations the drawing applies: pan about the vertical axis, then
// tilt, then skew about the line of sight.
class PerspectiveView : public PanoView {
  HC_CLASS_HEADER(PerspectiveView)
 public:
  PerspectiveView();
  ~PerspectiveView() override;

  KsRef<MouseResponder> CreateDefaultMouseResponder() override;
  KsRef<KeyboardResponder> CreateDefaultKeyboardResponder() override;
  eAppErr SetLookDirection(float pan, float tilt, float vfov, float skew) override;
  // 0, or 1101 for a point that is not finite.
  eAppErr DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) override;
  // 0; 1102 when the point falls outside the frame (written all the same);
  // 1101 for a direction behind the eye (nothing written); -2 for an image
  // above 0.
  eAppErr PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) override;
  eAppErr GetTiltLimitFlags(bool* atUpper, bool* atLower) override;
  void ConstrainLookDirection() override;
  // Recomputes the geometry fields from the constrained look and the frame.
  virtual void UpdateGeometry();
  // The vertical field of view the picture is drawn with.
  virtual float GetDrawnVFOV();

  // Geometry of the picture, in pixels of the frame: the offsets of the
  // vanishing point of verticals and of the horizon from the frame's centre
  // along its vertical axis, the focal length, and the eye's distances from
  // those two points.
  float GetVanishingOffset() const { return m_vanishingOffset; }
  float GetHorizonOffset() const { return m_horizonOffset; }
  float GetFocalLength() const { return m_focalLength; }
  float GetVanishingDistance() const { return m_vanishingDistance; }
  float GetHorizonDistance() const { return m_horizonDistance; }

 private:
  float m_vanishingOffset = 0.0f;
  float m_horizonOffset = 0.0f;
  float m_focalLength = 0.0f;
  float m_vanishingDistance = 0.0f;
  float m_horizonDistance = 0.0f;
};
HC_CLASS_OBJECT(PerspectiveView, PanoView)
