#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/LinearFunc.h"
#include "ImageTestSupport.h"
#include "Projection/RadialFuncProj.h"

namespace {

// A pattern whose neighbouring pixels always differ, so a remap that picks
// the wrong source pixel shows.
TestImage MakePattern(int width, int height) {
  TestImage image{width, height, 1, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.pixels.push_back(static_cast<uint8_t>((x * 7 + y * 13) % 251 + 3));
  }
  return image;
}

// Nearest-neighbour remap of src into an image of the output projection:
// each output pixel's centre goes through the output projection's inverse
// and the source projection's forward mapping. The source pixel is picked as
// v360 picks it: its source image spans pixel centres, x 0 at the centre of
// the first column and 1 at the centre of the last, so the index is
// round(x * (width - 1)). 0 where the direction misses the source.
TestImage Remap(PanoProjection& output, int width, int height, PanoProjection& source, const TestImage& src) {
  TestImage result = TestImage::Blank(width, height, 1);
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      float pan = 0.0f;
      float tilt = 0.0f;
      float x = 0.0f;
      float y = 0.0f;
      if (!output.GetAngleRadForPoint((i + 0.5f) / width, (j + 0.5f) / height, &pan, &tilt)) continue;
      if (!source.GetPointForAngleRad(pan, tilt, &x, &y)) continue;
      const long sx = std::lround(x * (src.width - 1));
      const long sy = std::lround(y * (src.height - 1));
      if (sx < 0 || sx >= src.width || sy < 0 || sy >= src.height) continue;
      result.pixels[static_cast<size_t>(j) * width + i] = src.At(static_cast<int>(sx), static_cast<int>(sy));
    }
  }
  return result;
}

// Share of the pixels from firstRow down that both images have, counting
// only where `ours` has a value.
double Agreement(const TestImage& ours, const TestImage& theirs, int firstRow, int* compared) {
  int same = 0;
  *compared = 0;
  const size_t first = static_cast<size_t>(firstRow) * ours.width;
  for (size_t k = first; k < ours.pixels.size() && k < theirs.pixels.size(); ++k) {
    if (ours.pixels[k] == 0) continue;
    ++*compared;
    if (ours.pixels[k] == theirs.pixels[k]) ++same;
  }
  return *compared ? static_cast<double>(same) / *compared : 0.0;
}

// The conventions of v360 against ours are stated beside RunV360. Fisheye
// input (ih_fov = iv_fov = 180, equidistant): pitch=90 turns the lens axis to
// the nadir. In our terms that is a ring whose radius grows linearly from the
// nadir (tilt -90, radius 0) to the horizon (radius 1), which is an upright
// ring function with IsInverted on; pan 0 lies at the bottom of the ring
// (larger y) and pan grows towards smaller x there, so IsMirror is on too
// (the sense is +1 exactly when the two differ). No zero-pan offset is
// needed.

TEST(V360Comparison, EquirectangularToCylindricalMatchesV360) {
  const TestImage equirect = MakePattern(256, 128);
  constexpr int kWidth = 320;
  constexpr int kHeight = 160;
  const TestImage theirs =
      RunV360(equirect, "v360=input=e:output=cylindrical:h_fov=360:v_fov=100:interp=near", kWidth, kHeight);
  ASSERT_EQ(static_cast<size_t>(kWidth) * kHeight, theirs.pixels.size());
  auto source = KsMakeRef<EquirectangularProj>();
  auto output = KsMakeRef<CylindricalProj>();  // tilt -50 to 50 degrees: v_fov 100
  const TestImage ours = Remap(*output, kWidth, kHeight, *source, equirect);
  int compared = 0;
  EXPECT_GE(Agreement(ours, theirs, 0, &compared), 0.999);
  EXPECT_EQ(kWidth * kHeight, compared);
}

TEST(V360Comparison, LinearRingToEquirectangularMatchesV360Fisheye) {
  const TestImage ring = MakePattern(256, 256);
  constexpr int kWidth = 512;
  constexpr int kHeight = 256;
  const TestImage theirs =
      RunV360(ring, "v360=input=fisheye:output=e:ih_fov=180:iv_fov=180:pitch=90:interp=near", kWidth, kHeight);
  ASSERT_EQ(static_cast<size_t>(kWidth) * kHeight, theirs.pixels.size());
  // Radius 1 at the horizon (tilt 0), 0 at the zenith; inverted, the nadir.
  auto radius = KsMakeRef<LinearFunc>();
  radius->SetAngleMinDeg(0.0f);
  radius->SetAngleMaxDeg(90.0f);
  radius->SetMinValue(1.0f);
  radius->SetMaxValue(0.0f);
  auto source = KsMakeRef<RadialFuncProj>();
  source->SetRadialFunc(radius);
  source->SetIsInverted(true);
  source->SetIsMirror(true);
  auto output = KsMakeRef<EquirectangularProj>();
  const TestImage ours = Remap(*output, kWidth, kHeight, *source, ring);
  int compared = 0;
  // The ring itself: the lower hemisphere. (Beyond the horizon both map into
  // the corners of the square image, but that is outside the ring.)
  EXPECT_GE(Agreement(ours, theirs, kHeight / 2, &compared), 0.999);
  EXPECT_EQ(kWidth * kHeight / 2, compared);
}

}  // namespace
