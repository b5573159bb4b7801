#pragma once

#include <cmath>

#include "Projection/AngleUnits.h"

// Angle conversions of the views, through the project's single-precision
// factors so that degrees read back as the same floats.
inline float DegToRad(float degrees) { return degrees * kDegreesToRadians; }
inline float RadToDeg(float radians) { return radians * kRadiansToDegrees; }
inline double DegToRadD(double degrees) { return degrees * (3.14159265358979323846 / 180.0); }
inline double RadToDegD(double radians) { return radians * (180.0 / 3.14159265358979323846); }
