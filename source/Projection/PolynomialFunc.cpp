#include "Projection/PolynomialFunc.h"

#include <algorithm>
#include <cmath>

PolynomialFunc::PolynomialFunc() { SetCanCalcInverse(true); }
PolynomialFunc::~PolynomialFunc() = default;

namespace {
constexpr float kNegligibleCoefficient = 0.00001f;
bool IsNegligible(float c) { return c > -kNegligibleCoefficient && c < kNegligibleCoefficient; }
}  // namespace

eAppErr PolynomialFunc::SetPolyTerms(const KsRef<FloatCollection>& terms) {
  DidChangeCaller change(this, kPolyTermsId);
  m_polyTerms = terms;
  m_coefficients = terms ? terms->Values() : std::vector<float>();
  BumpFirstSeed();
  return AppErr::kNoErr;
}

bool PolynomialFunc::Evaluate(float x, float* y) {
  if (!y || !std::isfinite(x)) return false;
  const std::vector<float>& c = m_coefficients;
  float value = 0.0f;
  switch (c.size()) {
    case 0:
      break;
    case 1:
      value = c[0];
      break;
    case 2:
      value = std::fmaf(c[1], x, c[0]);
      break;
    case 3:
      value = std::fmaf(x, std::fmaf(x, c[2], c[1]), c[0]);
      break;
    default: {
      float power = 1.0f;
      for (float coefficient : c) {
        if (!IsNegligible(coefficient)) value += coefficient * power;
        power *= x;
      }
    }
  }
  if (!std::isfinite(value)) return false;
  *y = value;
  return true;
}

bool PolynomialFunc::Inverse(float y, float* x) {
  if (!x || !std::isfinite(y)) return false;
  if (m_coefficients.size() == 2) return InverseLinear(m_coefficients[0], m_coefficients[1], y, x);
  if (m_coefficients.size() == 3) return InverseQuadratic(y, x);
  return false;
}

bool PolynomialFunc::InverseLinear(float c0, float c1, float y, float* x) const {
  const float root = (y - c0) / c1;
  if (!std::isfinite(root)) return false;
  *x = root;
  return true;
}

bool PolynomialFunc::InverseQuadratic(float y, float* x) {
  const float c0 = m_coefficients[0];
  const float c1 = m_coefficients[1];
  const float c2 = m_coefficients[2];
  if (IsNegligible(c2)) return InverseLinear(c0, c1, y, x);
  const double discriminant =
      static_cast<double>(c1) * c1 - 4.0 * static_cast<double>(c2) * (static_cast<double>(c0) - y);
  if (!(discriminant >= 0.0)) return false;
  const double root = std::sqrt(discriminant);
  const double r1 = (root - c1) / (2.0 * c2);
  const double r2 = (-c1 - root) / (2.0 * c2);
  float min = 0.0f;
  float max = 0.0f;
  GetNominalDomain(&min, &max);
  auto inside = [&](double r) { return min <= r && r <= max; };
  auto distance = [&](double r) { return std::min(std::fabs(r - min), std::fabs(r - max)); };
  double chosen = r1;
  if (inside(r1) && inside(r2)) {
    chosen = std::min(r1, r2);
  } else if (inside(r2)) {
    chosen = r2;
  } else if (!inside(r1) && distance(r2) < distance(r1)) {
    chosen = r2;
  }
  const float result = static_cast<float>(chosen);
  if (!std::isfinite(result)) return false;
  *x = result;
  return true;
}

bool PolynomialFunc::Compare(const KsRef<OneVarFunction>& other) {
  auto polynomial = other.DynamicCast<PolynomialFunc>();
  return polynomial && m_coefficients == polynomial->m_coefficients;
}
