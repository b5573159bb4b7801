#pragma once

#include "Projection/ProjectionAngleFunc.h"

// The vertical function of an unrolled cylinder: y = B - A tan(tilt), 0 at
// DomainMax and 1 at DomainMin. Tilts outside the domain are refused (the
// value is still written); a domain whose ends have equal tangents maps
// nothing.
class CylindricalFunc : public ProjectionAngleFunc {
  HC_CLASS_HEADER(CylindricalFunc)
 public:
  CylindricalFunc();
  ~CylindricalFunc() override;

  bool Evaluate(float x, float* y) override;
  bool Inverse(float y, float* x) override;
  bool Compare(const KsRef<OneVarFunction>& other) override;
  void DomainChanged() override;
  eAppErr MoveTiltMinDeg(float degrees, float imageRange) override;
  eAppErr MoveTiltMaxDeg(float degrees, float imageRange) override;
  // horizon: the fraction of the image height below the tilt-zero line.
  eAppErr MoveHorizon(float horizon, float imageRange) override;
  // tan(DomainMax) - tan(DomainMin).
  float GetRelativeImageRange() override;

 private:
  void Recompute();
  bool InDomain(float x) const { return StoredDomainMin() <= x && x <= StoredDomainMax(); }
  bool IsDegenerate() const;

  float m_offset = 0.0f;  // B
  float m_scale = 0.0f;   // A
};
HC_CLASS_OBJECT(CylindricalFunc, ProjectionAngleFunc)
