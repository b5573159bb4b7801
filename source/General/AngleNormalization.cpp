#include "General/AngleNormalization.h"

#include <cmath>

namespace {

constexpr float kTwoPiF = 6.2831855f;

// The remainder is taken in double precision and rounded; a tiny negative
// angle would round up to the full period, which is outside the range, so it
// folds back to 0.
float NormalizeToPeriod(float angle, float period) {
  if (angle >= 0.0f && angle < period) return angle;
  float r = static_cast<float>(std::fmod(static_cast<double>(angle), static_cast<double>(period)));
  while (r < 0.0f) r += period;
  if (r >= period) r = 0.0f;
  return r;
}

}  // namespace

float NormalizeDegrees(float degrees) { return NormalizeToPeriod(degrees, 360.0f); }

float NormalizeDegreesSigned(float degrees) {
  float r = NormalizeDegrees(degrees);
  if (r > 180.0f) r -= 360.0f;
  return r;
}

float NormalizeRadians(float radians) { return NormalizeToPeriod(radians, kTwoPiF); }

void NormalizeDegreesInPlace(float& a, float& b) {
  a = NormalizeDegrees(a);
  b = NormalizeDegrees(b);
  float lower;
  float upper;
  if (b < a) {
    lower = b;
    upper = b + 360.0f;
  } else {
    upper = b;
    lower = b - 360.0f;
  }
  b = (a - lower) < (upper - a) ? lower : upper;
}
