#pragma once

// Reading RTF given as text, and looking at what the rasteriser drew.

#include <string>
#include <string_view>

#include "platform/text/RtfReader.h"
#include "platform/text/TextRasterizer.h"

hc::text::TextErr ReadRtf(std::string_view rtf, hc::text::StyledText* out);

// The bounding box of the pixels whose alpha is above the threshold,
// columns [x0, x1) and rows [y0, y1); empty (x0 == x1) when none is.
struct InkBox {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
  float CentreX() const { return (static_cast<float>(x0) + static_cast<float>(x1)) * 0.5f; }
};
InkBox InkIn(const hc::text::RgbaImage& image, int fromRow, int toRow, int threshold = 0);
// The sum of alpha over the image, a measure of how much ink it holds.
double InkAmount(const hc::text::RgbaImage& image);
