#include "GoldenTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <numbers>
#include <sstream>

std::vector<GoldenRow> LoadGoldenTable(const std::string& fileName) {
  const std::string path = std::string(HC_TEST_SOURCE_DIR) + "/tests/Projection/data/" + fileName;
  std::ifstream in(path);
  EXPECT_TRUE(in.good()) << path;
  std::vector<GoldenRow> rows;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    GoldenRow row;
    std::string pan, tilt, x, y, valid;
    std::getline(fields, row.caseName, ',');
    std::getline(fields, pan, ',');
    std::getline(fields, tilt, ',');
    std::getline(fields, x, ',');
    std::getline(fields, y, ',');
    std::getline(fields, valid, ',');
    row.panDeg = std::stof(pan);
    row.tiltDeg = std::stof(tilt);
    row.x = std::stof(x);
    row.y = std::stof(y);
    row.valid = valid == "1";
    rows.push_back(row);
  }
  EXPECT_FALSE(rows.empty()) << path;
  return rows;
}

float Radians(float degrees) { return static_cast<float>(degrees * std::numbers::pi / 180.0); }
