#pragma once

// 8-bit pictures for comparisons with tools we didn't write: files ffmpeg
// reads and writes, and the measures the comparisons use.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An image of 1 (grey), 3 (RGB) or 4 (RGBA) channels, rows top to bottom.
struct TestImage {
  int width = 0;
  int height = 0;
  int channels = 1;
  std::vector<uint8_t> pixels;

  static TestImage Blank(int width, int height, int channels);
  bool Empty() const { return pixels.empty(); }
  uint8_t At(int x, int y, int channel = 0) const {
    return pixels[(static_cast<size_t>(y) * width + x) * channels + channel];
  }
  uint8_t& At(int x, int y, int channel = 0) {
    return pixels[(static_cast<size_t>(y) * width + x) * channels + channel];
  }
};

// Binary PNM: P5 for grey, P6 for RGB (RGBA is written as its RGB).
bool WritePnm(const std::string& path, const TestImage& image);
// A P5 or P6 file with 255 as its maximum; empty when it is not one.
TestImage ReadPnm(const std::string& path);
// A raw frame of the given size; empty pixels when the file's size differs.
TestImage ReadRaw(const std::string& path, int width, int height, int channels);

// The image with each channel averaged over 3 x 3 neighbourhoods (edges
// repeated), which forgives sub-pixel differences of resampling.
TestImage BoxBlur3(const TestImage& image);
// Share of the counted pixels whose channels differ by at most `tolerance`
// on average after both images are blurred (BoxBlur3); `counted` picks the
// pixels (all when empty) and receives how many there were.
double ShareWithinBlurred(const TestImage& a, const TestImage& b, double tolerance,
                          const std::function<bool(int x, int y)>& counted, int* countedPixels);

// ffmpeg's v360 filter on an image: `filter` is "v360=..." with its options
// (interpolation included); the output has the given size and the input's
// channels (grey, or RGB for 3 and 4 channels). Empty when ffmpeg failed.
//
// Conventions, found against v360 (FFmpeg 5.1), that tests convert to ours:
// - Equirectangular and cylindrical images: v360 puts its zero longitude at
//   the image centre, we put pan 0 at the left edge; both grow to the right,
//   so the remap between the two needs no offset. v360's latitude grows
//   downwards, our tilt upwards; both map the top row to the upper limit.
// - Where a normalised point lies in a picture: v360 samples its input at
//   x (width - 1), from the centre of the first column to the centre of the
//   last, and shows at output column i the point (i + 0.5) / width; we sample
//   at x width, a pixel's value sitting at its top-left corner, and show at
//   column i the point i / width (the same for rows).
TestImage RunV360(const TestImage& input, const std::string& filter, int width, int height);
