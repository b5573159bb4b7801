#pragma once

#include "Projection/ProjectionAngleFunc.h"

// y = a x + b, mapping the domain's minimum to MinValue and its maximum to
// MaxValue and extrapolating beyond. A degenerate function (an empty domain,
// or equal values for the inverse) answers false instead of infinities.
class LinearFunc : public ProjectionAngleFunc {
  HC_CLASS_HEADER(LinearFunc)
 public:
  enum : int32_t { kMaxValueId = 400, kMinValueId = 401 };

  LinearFunc();
  ~LinearFunc() override;

  bool Evaluate(float x, float* y) override;
  bool Inverse(float y, float* x) override;
  bool Compare(const KsRef<OneVarFunction>& other) override;
  void DomainChanged() override;
  // Both refuse an angle beyond ±90 degrees with -2.
  eAppErr MoveTiltMinDeg(float degrees, float imageRange) override;
  eAppErr MoveTiltMaxDeg(float degrees, float imageRange) override;
  // Places the horizon at the given fraction of the span, keeping the span
  // within ±90 degrees.
  eAppErr MoveHorizon(float horizon, float imageRange) override;

  float GetMaxValue() const { return m_maxValue; }
  float GetMinValue() const { return m_minValue; }
  eAppErr SetMaxValue(float value);
  eAppErr SetMinValue(float value);

 private:
  void Recompute();

  float m_minValue = 0.0f;
  float m_maxValue = 1.0f;
  float m_slope = 1.0f;         // a
  float m_inverseSlope = 1.0f;  // c
  float m_intercept = 0.0f;     // b
};
HC_CLASS_OBJECT(LinearFunc, ProjectionAngleFunc)
