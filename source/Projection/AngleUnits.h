#pragma once

#include <cmath>

// Degree and radian conversion factors as single-precision constants: every
// property in degrees converts through these, so values read back as the
// same floats however often they are converted.
inline constexpr float kRadiansToDegrees = 57.29578f;
inline constexpr float kDegreesToRadians = 0.017453292f;
inline constexpr float kHalfPi = 1.5707964f;

inline bool AllFinite(float a, float b) { return std::isfinite(a) && std::isfinite(b); }
