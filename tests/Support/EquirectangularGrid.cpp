#include "EquirectangularGrid.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

// 3 x 5 digit glyphs, one row a byte of three bits, top row first.
constexpr uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void Put(TestImage& image, int x, int y, const uint8_t rgb[3]) {
  x = ((x % image.width) + image.width) % image.width;
  if (y < 0 || y >= image.height) return;
  for (int c = 0; c < 3; ++c) image.At(x, y, c) = rgb[c];
}

// The text with its left edge at x and its top at y, each glyph cell
// `scale` pixels a side.
void DrawNumber(TestImage& image, const std::string& text, int x, int y, int scale, const uint8_t rgb[3]) {
  for (char ch : text) {
    const uint8_t* glyph = kDigits[ch - '0'];
    for (int row = 0; row < 5; ++row) {
      for (int column = 0; column < 3; ++column) {
        if (!(glyph[row] & (4 >> column))) continue;
        for (int dy = 0; dy < scale; ++dy) {
          for (int dx = 0; dx < scale; ++dx) Put(image, x + column * scale + dx, y + row * scale + dy, rgb);
        }
      }
    }
    x += 4 * scale;
  }
}

// A 3 x 3 box blur that wraps around horizontally (the picture continues
// across its seam) and repeats the edge rows.
TestImage SoftenWrapping(const TestImage& image) {
  TestImage out = TestImage::Blank(image.width, image.height, image.channels);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      for (int c = 0; c < image.channels; ++c) {
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy) {
          const int sy = std::min(std::max(y + dy, 0), image.height - 1);
          for (int dx = -1; dx <= 1; ++dx) sum += image.At((x + dx + image.width) % image.width, sy, c);
        }
        out.At(x, y, c) = static_cast<uint8_t>((sum + 4) / 9);
      }
    }
  }
  return out;
}

}  // namespace

void EquirectangularGridBackground(double panDeg, double tiltDeg, uint8_t rgb[3]) {
  const double pan = panDeg * kPi / 180.0;
  rgb[0] = static_cast<uint8_t>(std::lround(128.0 + 100.0 * std::cos(pan)));
  rgb[1] = static_cast<uint8_t>(std::lround(30.0 + 190.0 * (tiltDeg + 90.0) / 180.0));
  rgb[2] = static_cast<uint8_t>(std::lround(128.0 + 100.0 * std::sin(pan)));
}

TestImage MakeEquirectangularGrid(int width, int height) {
  TestImage image = TestImage::Blank(width, height, 3);
  const double degreesPerPixelX = 360.0 / width;
  const double degreesPerPixelY = 180.0 / height;
  const int lineWidth = std::max(1, width / 512);
  const uint8_t line[3] = {20, 20, 20};
  for (int y = 0; y < height; ++y) {
    const double tilt = 90.0 - (y + 0.5) * degreesPerPixelY;
    for (int x = 0; x < width; ++x) {
      uint8_t rgb[3];
      EquirectangularGridBackground((x + 0.5) * degreesPerPixelX, tilt, rgb);
      for (int c = 0; c < 3; ++c) image.At(x, y, c) = rgb[c];
    }
  }
  for (int k = 0; k < 24; ++k) {
    const int x = static_cast<int>(std::lround(k * 15.0 / degreesPerPixelX));
    for (int y = 0; y < height; ++y) {
      for (int d = 0; d < lineWidth; ++d) Put(image, x + d, y, line);
    }
  }
  for (int k = 1; k < 12; ++k) {
    const int y = static_cast<int>(std::lround(k * 15.0 / degreesPerPixelY));
    for (int x = 0; x < width; ++x) {
      for (int d = 0; d < lineWidth; ++d) Put(image, x, y + d, line);
    }
  }
  const int scale = std::max(1, width / 256);
  const uint8_t yellow[3] = {250, 230, 0};
  const uint8_t white[3] = {250, 250, 250};
  const uint8_t cyan[3] = {0, 230, 250};
  const double labelRows[3] = {45.0, 0.0, -45.0};
  const uint8_t* labelColours[3] = {white, yellow, cyan};
  for (int k = 0; k < 12; ++k) {
    const std::string text = std::to_string(k * 30);
    const int x = static_cast<int>(std::lround((k * 30.0 + 3.0) / degreesPerPixelX));
    for (int row = 0; row < 3; ++row) {
      const int y = static_cast<int>(std::lround((90.0 - labelRows[row] + 3.0) / degreesPerPixelY));
      DrawNumber(image, text, x, y, scale, labelColours[row]);
    }
  }
  return SoftenWrapping(SoftenWrapping(image));
}
