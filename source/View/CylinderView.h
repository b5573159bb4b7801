#pragma once

#include "View/PanoView.h"

// The whole surround unrolled: pan runs linearly across the frame, 360
// degrees over its width and centred on the view's pan, and tilt up the
// frame as its tangent at the same scale (a cylindrical projection whose
// scales agree at the horizon). Points are in the frame's space, y upward.
class CylinderView : public PanoView {
  HC_CLASS_HEADER(CylinderView)
 public:
  enum : int32_t { kNaturalAspectRatioId = 500 };

  CylinderView();
  ~CylinderView() override;

  KsRef<MouseResponder> CreateDefaultMouseResponder() override;
  KsRef<KeyboardResponder> CreateDefaultKeyboardResponder() override;
  // Three copies side by side.
  uint32_t GetNumberOfImages() override;
  eAppErr DirectionAtPointDeg(const KsPointF& point, float* pan, float* tilt) override;
  // Image 0 lies a turn left of the centre copy (1), image 2 a turn right;
  // -1 takes the copy whose pan lies within the frame's turn. The point may
  // lie outside the frame. -2 for an image above 2 or no output.
  eAppErr PointAtDirectionDeg(float pan, float tilt, KsPointF* point, int32_t image) override;
  virtual eAppErr UpdateGeometry();

  // The width over height at which the source's cylinder shows undistorted;
  // 1 without a source projection.
  float GetNaturalAspectRatio();
};
HC_CLASS_OBJECT(CylinderView, PanoView)
