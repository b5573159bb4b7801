#pragma once

#include <vector>

#include "General/FloatCollection.h"
#include "Projection/ProjectionAngleFunc.h"

// y = c0 + c1 x + c2 x^2 + …, the coefficients taken from PolyTerms (c0
// first) when it is set. The inverse is the closed-form root for two and
// three terms; other term counts have none.
class PolynomialFunc : public ProjectionAngleFunc {
  HC_CLASS_HEADER(PolynomialFunc)
 public:
  enum : int32_t { kPolyTermsId = 400 };

  PolynomialFunc();
  ~PolynomialFunc() override;

  bool Evaluate(float x, float* y) override;
  // With three terms the root inside the domain (the smaller of two, or the
  // one nearer the domain when neither is inside); a quadratic coefficient
  // too small to divide by leaves the linear root. False where no real root
  // exists.
  bool Inverse(float y, float* x) override;
  // Same class and equal coefficients; the domain is not compared.
  bool Compare(const KsRef<OneVarFunction>& other) override;

  KsRef<FloatCollection> GetPolyTerms() const { return m_polyTerms; }
  // Copies the coefficients: later changes of the collection are not seen.
  eAppErr SetPolyTerms(const KsRef<FloatCollection>& terms);
  const std::vector<float>& GetCoefficients() const { return m_coefficients; }

 private:
  bool InverseLinear(float c0, float c1, float y, float* x) const;
  bool InverseQuadratic(float y, float* x);

  std::vector<float> m_coefficients;
  KsRef<FloatCollection> m_polyTerms;
};
HC_CLASS_OBJECT(PolynomialFunc, ProjectionAngleFunc)
