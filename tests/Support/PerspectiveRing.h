#pragma once

// A flat (rectilinear) picture looking straight down or up, expressed as a
// ring projection: for a lens looking at the nadir the distance from the
// picture's centre is tan(angle from the nadir), so a radial function of that
// shape turns a ring projection into the view of an ordinary camera. Tests
// and the unwarp benchmark use it as the planar output of the general path.

#include "General/KsClassMacros.h"
#include "Projection/OneVarFunction.h"
#include "Projection/RadialFuncProj.h"

// r(tilt) = tan(tilt + 90 degrees) / tan(half the vertical field of view):
// 0 at the nadir, 1 at the top and bottom edges of the picture.
class GnomonicTestFunc : public OneVarFunction {
  HC_CLASS_HEADER(GnomonicTestFunc)
 public:
  GnomonicTestFunc();
  ~GnomonicTestFunc() override;

  void SetVerticalFovDeg(float degrees);
  bool Evaluate(float tilt, float* radius) override;
  bool Inverse(float radius, float* tilt) override;

 private:
  float m_tanHalfFov = 1.0f;
};
HC_CLASS_OBJECT(GnomonicTestFunc, OneVarFunction)

struct PerspectiveView {
  float verticalFovDeg = 90.0f;
  // Looking at the zenith instead of the nadir.
  bool up = false;
  // The pan shown at the bottom edge's centre, in degrees.
  float panDeg = 0.0f;
  // Picture size, for the image aspect and the half-pixel shift.
  int width = 0;
  int height = 0;
  // Shifts the mapping by half a pixel so that column i shows the point
  // (i + 0.5) / width, as v360 places its output pixels.
  bool pixelCentres = false;
};

KsRef<RadialFuncProj> MakePerspectiveRing(const PerspectiveView& view);
