#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// Comparing a drawn frame with a reference made by ffmpeg: both blurred by a
// 3 x 3 box (so that a half-pixel shift of filtering does not count), then
// the mean absolute difference of one channel.
namespace framecompare {

inline std::vector<float> Blurred(const std::vector<uint8_t>& pixels, int width, int height, int stride,
                                  int channel) {
  std::vector<float> out(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float sum = 0;
      int n = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int sx = x + dx;
          const int sy = y + dy;
          if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
          sum += pixels[(static_cast<size_t>(sy) * width + sx) * stride + channel];
          ++n;
        }
      }
      out[static_cast<size_t>(y) * width + x] = sum / static_cast<float>(n);
    }
  }
  return out;
}

inline float MeanAbsDifference(const std::vector<float>& a, const std::vector<float>& b) {
  double total = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) total += std::fabs(a[i] - b[i]);
  return static_cast<float>(total / static_cast<double>(a.size()));
}

// Channel c of `drawn` (ARGB, 4 bytes a pixel) against channel rgbChannel
// of `reference` (packed RGB).
inline float ChannelDifference(const std::vector<uint8_t>& drawn, const std::vector<uint8_t>& reference, int width,
                               int height, int argbChannel, int rgbChannel) {
  return MeanAbsDifference(Blurred(drawn, width, height, 4, argbChannel),
                           Blurred(reference, width, height, 3, rgbChannel));
}

}  // namespace framecompare
