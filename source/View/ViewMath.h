#pragma once

#include <cmath>

#include "Projection/AngleUnits.h"

// Angle conversions of the views, through the project's single-precision
// factors so that degrees read back as the same floats.
inline float DegToRad(float degrees) { return degrees * kDegreesToRadians; }
inline float RadToDeg(float radians) { return radians * kRadiansToDegrees; }
inline double DegToRadD(double degrees) { return degrees * (3.14159265358979323846 / 180.0); }
inline double RadToDegD(double radians) { return radians * (180.0 / 3.14159265358979323846); }

// A direction or point in the meshes' space: x towards pan 0, y up, z
// towards pan 90.
struct ViewVec3 {
  double x, y, z;
};

inline ViewVec3 DirectionOfPanTiltDeg(double panDeg, double tiltDeg) {
  const double p = DegToRadD(panDeg);
  const double t = DegToRadD(tiltDeg);
  return {std::cos(t) * std::cos(p), std::sin(t), std::cos(t) * std::sin(p)};
}

// Rotations as the renderer applies them (counter-clockwise looking down the
// axis towards the origin), angles in degrees.
inline ViewVec3 RotateAboutY(const ViewVec3& v, double degrees) {
  const double c = std::cos(DegToRadD(degrees));
  const double s = std::sin(DegToRadD(degrees));
  return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}

inline ViewVec3 RotateAboutX(const ViewVec3& v, double degrees) {
  const double c = std::cos(DegToRadD(degrees));
  const double s = std::sin(DegToRadD(degrees));
  return {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
}

inline ViewVec3 RotateAboutZ(const ViewVec3& v, double degrees) {
  const double c = std::cos(DegToRadD(degrees));
  const double s = std::sin(DegToRadD(degrees));
  return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
}

// The turn the perspective and sphere views give the model view: pan p to
// the line of sight (-z), then tilt t up, then skew s about the line of
// sight; and back.
inline ViewVec3 LookRotate(const ViewVec3& world, double pan, double tilt, double skew) {
  return RotateAboutZ(RotateAboutX(RotateAboutY(world, pan + 90.0), -tilt), skew);
}

inline ViewVec3 LookUnrotate(const ViewVec3& camera, double pan, double tilt, double skew) {
  return RotateAboutY(RotateAboutX(RotateAboutZ(camera, -skew), tilt), -(pan + 90.0));
}
