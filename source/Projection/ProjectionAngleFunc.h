#pragma once

#include "Projection/OneVarFunction.h"

// A function whose domain is an angle range in radians and whose values are
// normalised image coordinates. The editor moves change one end of the angle
// range, or the horizon, while keeping the function's image range.
class ProjectionAngleFunc : public OneVarFunction {
  HC_CLASS_HEADER(ProjectionAngleFunc)
 public:
  enum : int32_t { kAngleMaxDegId = 300, kAngleMinDegId = 301 };

  ProjectionAngleFunc();
  ~ProjectionAngleFunc() override;

  // -102 here: only the functions that can refit themselves override them.
  virtual eAppErr MoveTiltMinDeg(float degrees, float imageRange);
  virtual eAppErr MoveTiltMaxDeg(float degrees, float imageRange);
  virtual eAppErr MoveHorizon(float horizon, float imageRange);
  // The function's span in its own measure: DomainMax - DomainMin here.
  virtual float GetRelativeImageRange();

  float GetAngleMaxDeg();
  float GetAngleMinDeg();
  eAppErr SetAngleMaxDeg(float degrees);
  eAppErr SetAngleMinDeg(float degrees);
};
HC_CLASS_OBJECT(ProjectionAngleFunc, OneVarFunction)
