#pragma once

#include <cstdint>
#include <vector>

#include "platform/text/StyledText.h"
#include "platform/text/TextErr.h"

namespace hc::text {

// An image of 8-bit RGBA pixels (alpha not premultiplied), rows top first,
// width * 4 bytes each.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
};

struct TextSize {
  float width = 0.0f;
  float height = 0.0f;
};

struct RasterOptions {
  // Pixels per point.
  float scale = 1.0f;
  // The colour of runs without one of their own.
  Rgba8 textColor{255, 255, 255, 255};
  // Fills the whole image first when its alpha is above 0.
  Rgba8 backgroundColor{0, 0, 0, 0};
};

// Lays styled text out and draws it. Lines break only where the text says
// (paragraphs and line breaks); each line stands on its tallest run, and
// the paragraph's alignment places it within the widest line. One point is
// one pixel at scale 1; layout is done in unhinted font units, so a text
// drawn at scale 2 is twice as large in every measure as at scale 1.
class TextRasterizer {
 public:
  // Largest image side and pixel count drawn.
  static constexpr int kMaxImageSide = 8192;
  static constexpr int64_t kMaxImagePixels = int64_t{1} << 26;

  // The natural size of the text in points (0 x 0 for no paragraphs).
  static TextErr Measure(const StyledText& text, TextSize* out);
  // Draws the text at options.scale into an image of the integral scaled
  // size (each side the natural side times the scale, rounded up).
  // TooLarge beyond kMaxImageSide or kMaxImagePixels, BadArgument for a
  // scale that is not a finite number above 0; *out is unchanged on failure.
  static TextErr Rasterize(const StyledText& text, const RasterOptions& options, RgbaImage* out);
};

}  // namespace hc::text
