#pragma once

#include <numbers>
#include <string>
#include <vector>

// How close a mapping must come to a golden value.
inline constexpr float kGoldenTolerance = 3e-6f;
inline constexpr float kPi = static_cast<float>(std::numbers::pi);

// One row of a golden table made by data/make_golden.py.
struct GoldenRow {
  std::string caseName;
  float panDeg = 0.0f;
  float tiltDeg = 0.0f;
  float x = 0.0f;
  float y = 0.0f;
  bool valid = false;
};

// The rows of data/<fileName>; empty (with a test failure) when unreadable.
std::vector<GoldenRow> LoadGoldenTable(const std::string& fileName);

float Radians(float degrees);
