#pragma once

#include "Projection/CartesianFuncProj.h"
#include "Projection/LinearFunc.h"

// Pan and tilt both linear: y falls from 0 at the upper tilt limit to 1 at
// the lower one, extrapolated beyond them. The whole sphere by default.
class EquirectangularProj : public CartesianFuncProj {
  HC_CLASS_HEADER(EquirectangularProj)
 public:
  EquirectangularProj();
  ~EquirectangularProj() override;

  float GetTiltMinDeg() override;
  // Both limits take a value below -89.9 degrees as -90.
  eAppErr SetTiltMinDeg(float degrees) override;
  float GetTiltMaxDeg() override;
  eAppErr SetTiltMaxDeg(float degrees) override;
  bool Compare(const KsRef<PanoProjection>& other) override;
  // Takes only a LinearFunc (or none), and reverses its values so that the
  // domain's minimum maps to 1 and its maximum to 0; -2 for another function.
  eAppErr SetVerticalFunc(const KsRef<ProjectionAngleFunc>& function) override;

 private:
  KsRef<LinearFunc> m_linearVerticalFunc;
};
HC_CLASS_OBJECT(EquirectangularProj, CartesianFuncProj)
