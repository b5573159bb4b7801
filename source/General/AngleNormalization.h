#pragma once

// Angle normalisation in single precision.

// [0, 360).
float NormalizeDegrees(float degrees);
// (-180, 180].
float NormalizeDegreesSigned(float degrees);
// [0, 2 pi).
float NormalizeRadians(float radians);
// Prepares two angles for interpolation across the 0/360 seam: a ends in
// [0, 360) and b within half a turn of a, in (a - 180, a + 180].
void NormalizeDegreesInPlace(float& a, float& b);
