#pragma once

#include "Projection/CartesianFuncProj.h"
#include "Projection/CylindricalFunc.h"

// An unrolled cylinder: pan linear across x, y following the tangent of the
// tilt between the tilt limits, which are the cylindrical function's domain.
class CylindricalProj : public CartesianFuncProj {
  HC_CLASS_HEADER(CylindricalProj)
 public:
  CylindricalProj();
  ~CylindricalProj() override;

  float GetTiltMinDeg() override;
  eAppErr SetTiltMinDeg(float degrees) override;
  float GetTiltMaxDeg() override;
  eAppErr SetTiltMaxDeg(float degrees) override;
  bool Compare(const KsRef<PanoProjection>& other) override;
  // Takes only a CylindricalFunc (or none); -2 for another function.
  eAppErr SetVerticalFunc(const KsRef<ProjectionAngleFunc>& function) override;

  KsRef<CylindricalFunc> GetCylindricalFunc() const { return GetVerticalFunc().DynamicCast<CylindricalFunc>(); }
};
HC_CLASS_OBJECT(CylindricalProj, CartesianFuncProj)
