#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "PerspectiveRing.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "UnwarpTestSupport.h"

// Our unwarps against ffmpeg's v360 on the same equirectangular picture and
// the same angles. The general conventions are stated beside RunV360. In
// these tests:
// - Pan runs to the right in both: v360's longitude grows to the right from
//   the input's centre and its yaw turns the view towards larger longitudes;
//   our pan grows to the right from the input's left edge, and an output's
//   zero-pan offset is the pan its left edge (cylinder) or its bottom edge
//   (perspective looking down) shows. So yaw Y is a zero-pan offset of Y for
//   the cylinder and the view looking down, and of 180 + Y for the view
//   looking up, which v360 reaches by pitching up over the top.
// - Tilt: v360's latitude grows downwards and its pitch -90 looks at the
//   nadir, 90 at the zenith; our tilt grows upwards; the top row is the
//   upper limit in both.
// - Pixel placement: our output projections are shifted by half a pixel
//   (zero-pan offset and vertical offset of the cylinder, the ring's centre)
//   so that column i shows the point (i + 0.5) / width as v360's does, and
//   v360's input gets one more column (a copy of the first: longitude +180
//   is -180) and one more row (a copy of the last), so that it samples at x
//   width as we do.
// Pictures are compared after a 3 x 3 blur: mean absolute difference of the
// channels at most 3 on 8 bits, on at least 99.9% of the pixels.

namespace {

constexpr double kTolerance = 3.0;
constexpr double kShare = 0.999;
constexpr float kRadToDeg = 180.0f / std::numbers::pi_v<float>;

const TestImage& Fixture() {
  static const TestImage fixture = MakeEquirectangularFixture(2048, 1024);
  return fixture;
}

TestImage PadForV360(const TestImage& in) {
  TestImage out = TestImage::Blank(in.width + 1, in.height + 1, in.channels);
  for (int y = 0; y <= in.height; ++y) {
    for (int x = 0; x <= in.width; ++x) {
      for (int c = 0; c < in.channels; ++c) out.At(x, y, c) = in.At(x % in.width, std::min(y, in.height - 1), c);
    }
  }
  return out;
}

TEST(UnwarpV360, EquirectangularToCylinderMatchesV360) {
  ASSERT_FALSE(Fixture().Empty()) << "ffmpeg could not make the fixture";
  KsRef<BufferSource> source = MakeBufferSource(Fixture(), PixelFormatCode("RGBA"));
  const TestImage padded = PadForV360(Fixture());
  constexpr int kWidth = 1024;
  constexpr int kHeight = 512;
  for (float yaw : {0.0f, 60.0f, -135.0f}) {
    SCOPED_TRACE(yaw);
    // Tilt -50 to 50 degrees: v_fov 100.
    auto cylinder = KsMakeRef<CylindricalProj>();
    cylinder->SetZeroPanOffsetDeg(yaw + 0.5f * 360.0f / kWidth);
    cylinder->SetVerticalOffset(-0.5f / kHeight);
    const TestImage ours = UnwarpPicture(source, KsMakeRef<EquirectangularProj>(), cylinder, kWidth, kHeight);
    const TestImage theirs =
        RunV360(padded, "v360=input=e:output=cylindrical:h_fov=360:v_fov=100:interp=line:yaw=" + std::to_string(yaw),
                kWidth, kHeight);
    int counted = 0;
    EXPECT_GE(ShareWithinBlurred(ours, theirs, kTolerance, {}, &counted), kShare);
    EXPECT_EQ(kWidth * kHeight, counted);
  }
}

struct ViewCase {
  bool up;
  float yaw;
  float verticalFov;
  int width;
  int height;
};

TEST(UnwarpV360, EquirectangularToPerspectiveMatchesV360Flat) {
  ASSERT_FALSE(Fixture().Empty()) << "ffmpeg could not make the fixture";
  KsRef<BufferSource> source = MakeBufferSource(Fixture(), PixelFormatCode("RGBA"));
  const TestImage padded = PadForV360(Fixture());
  const ViewCase cases[] = {{false, 0.0f, 90.0f, 800, 600}, {true, 60.0f, 70.0f, 640, 480},
                            {false, -120.0f, 100.0f, 600, 600}};
  for (const ViewCase& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.up ? "up" : "down") << " yaw " << c.yaw);
    PerspectiveView view;
    view.verticalFovDeg = c.verticalFov;
    view.up = c.up;
    view.panDeg = c.up ? 180.0f + c.yaw : c.yaw;
    view.width = c.width;
    view.height = c.height;
    view.pixelCentres = true;
    const TestImage ours = UnwarpPicture(source, KsMakeRef<EquirectangularProj>(), MakePerspectiveRing(view),
                                         c.width, c.height);
    // Square pixels.
    const float tanHalf = std::tan(0.5f * c.verticalFov / kRadToDeg);
    const float horizontalFov = 2.0f * std::atan(tanHalf * c.width / c.height) * kRadToDeg;
    const TestImage theirs = RunV360(padded,
                                     "v360=input=e:output=flat:interp=line:v_fov=" + std::to_string(c.verticalFov) +
                                         ":h_fov=" + std::to_string(horizontalFov) + ":yaw=" + std::to_string(c.yaw) +
                                         ":pitch=" + (c.up ? "90" : "-90"),
                                     c.width, c.height);
    // Away from the pole at the centre: more than 3 degrees from it.
    auto awayFromPole = [&](int x, int y) {
      const float dx = static_cast<float>(x) + 0.5f - 0.5f * static_cast<float>(c.width);
      const float dy = static_cast<float>(y) + 0.5f - 0.5f * static_cast<float>(c.height);
      const float tanFromPole = std::hypot(dx, dy) / (0.5f * static_cast<float>(c.height)) * tanHalf;
      return std::atan(tanFromPole) * kRadToDeg > 3.0f;
    };
    int counted = 0;
    EXPECT_GE(ShareWithinBlurred(ours, theirs, kTolerance, awayFromPole, &counted), kShare);
    EXPECT_GT(counted, c.width * c.height * 9 / 10);
  }
}

// The picture made into the ring image of our optic and unwarped back, over
// the tilts where the ring holds at least the picture's resolution. Sampled
// twice, the picture is softened a little more than the others.
TEST(UnwarpV360, OpticRingImageUnwarpsBack) {
  const TestImage fixture = MakeEquirectangularFixture(1024, 512, 2.0f);
  ASSERT_FALSE(fixture.Empty()) << "ffmpeg could not make the fixture";
  KsRef<BufferSource> source = MakeBufferSource(fixture, PixelFormatCode("RGBA"));
  auto equirect = KsMakeRef<EquirectangularProj>();
  auto optic = KsMakeRef<KestrelProj>();
  KsRef<OutputBuffer> ring = MakeOutput(source, 2048, 2048);
  ASSERT_EQ(0, MakeTask(source, equirect, ring, optic)->Unwarp());
  const TestImage back = UnwarpPicture(ring, optic, equirect, 1024, 512);
  // Rows from tilt 45 down to tilt -50.
  auto inBand = [](int, int y) { return y >= 128 && y <= 398; };
  int counted = 0;
  EXPECT_GE(ShareWithinBlurred(back, fixture, kTolerance, inBand, &counted), kShare);
  EXPECT_EQ(1024 * 271, counted);
}

// Every layout the sampler reads gives the picture the 8-bit RGBA layout
// gives, read back through the same conversion (grey layouts: its red).
TEST(UnwarpV360, EveryComponentLayoutGivesTheSamePicture) {
  const TestImage fixture = MakeEquirectangularFixture(512, 256);
  ASSERT_FALSE(fixture.Empty()) << "ffmpeg could not make the fixture";
  auto equirect = KsMakeRef<EquirectangularProj>();
  auto cylinder = KsMakeRef<CylindricalProj>();
  const TestImage reference =
      UnwarpPicture(MakeBufferSource(fixture, PixelFormatCode("RGBA")), equirect, cylinder, 256, 96);
  ASSERT_FALSE(reference.Empty());
  const uint32_t layouts[] = {
      PixelFormatInfo::k8Grey, PixelFormatCode("v408"), PixelFormatCode("v308"), PixelFormatCode("r408"),
      PixelFormatInfo::k24RGB, PixelFormatCode("24BG"), PixelFormatInfo::k32ARGB, PixelFormatCode("BGRA"),
      PixelFormatCode("ABGR"), PixelFormatCode("RGBA"), PixelFormatCode("b48r"), PixelFormatCode("b64a"),
      PixelFormatCode("b16g"), PixelFormatCode("f32g"), PixelFormatCode("f32r"), PixelFormatCode("f32a")};
  for (uint32_t layout : layouts) {
    SCOPED_TRACE(layout);
    const TestImage picture = UnwarpPicture(MakeBufferSource(fixture, layout), equirect, cylinder, 256, 96);
    ASSERT_FALSE(picture.Empty());
    const int channels = PixelFormatInfo::Find(layout)->colorModel == PixelFormatInfo::kModelGrey ? 1 : 3;
    int largest = 0;
    for (int y = 0; y < 96; ++y) {
      for (int x = 0; x < 256; ++x) {
        for (int c = 0; c < channels; ++c) {
          largest = std::max(largest, std::abs(picture.At(x, y, c) - reference.At(x, y, c)));
        }
      }
    }
    // Integer layouts truncate at their own precision: one step of 8 bits.
    EXPECT_LE(largest, 1);
  }
}

}  // namespace
