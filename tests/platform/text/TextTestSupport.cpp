#include "TextTestSupport.h"

#include <algorithm>
#include <cstdint>
#include <span>

using hc::text::RgbaImage;

hc::text::TextErr ReadRtf(std::string_view rtf, hc::text::StyledText* out) {
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(rtf.data()), rtf.size());
  return hc::text::RtfReader::Read(bytes, out);
}

InkBox InkIn(const RgbaImage& image, int fromRow, int toRow, int threshold) {
  InkBox box{image.width, image.height, 0, 0};
  bool any = false;
  for (int y = std::max(fromRow, 0); y < std::min(toRow, image.height); ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.pixels[(static_cast<size_t>(y) * image.width + x) * 4 + 3] > threshold) {
        box.x0 = std::min(box.x0, x);
        box.y0 = std::min(box.y0, y);
        box.x1 = std::max(box.x1, x + 1);
        box.y1 = std::max(box.y1, y + 1);
        any = true;
      }
    }
  }
  return any ? box : InkBox{};
}

double InkAmount(const RgbaImage& image) {
  double sum = 0;
  for (size_t i = 3; i < image.pixels.size(); i += 4) sum += image.pixels[i];
  return sum;
}
