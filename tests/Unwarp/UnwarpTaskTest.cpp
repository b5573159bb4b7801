#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "ProbeProjection.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/PlanarProjection.h"
#include "Source/MosaicSource.h"
#include "UnwarpTestSupport.h"

namespace {

constexpr uint32_t kRGBA = PixelFormatCode("RGBA");

// Neighbouring pixels differ and no channel is 0, so background shows.
TestImage Pattern(int width, int height) {
  TestImage image = TestImage::Blank(width, height, 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.At(x, y, 0) = static_cast<uint8_t>(1 + (x * 37 + y * 11) % 250);
      image.At(x, y, 1) = static_cast<uint8_t>(1 + (x * 13 + y * 71) % 250);
      image.At(x, y, 2) = static_cast<uint8_t>(1 + (x * 5 + y * 3) % 250);
    }
  }
  return image;
}

bool IsBackground(const TestImage& image, int x, int y) {
  return image.At(x, y, 0) == 0 && image.At(x, y, 1) == 0 && image.At(x, y, 2) == 0;
}

// Largest difference of any channel.
int MaxDifference(const TestImage& a, const TestImage& b) {
  if (a.pixels.size() != b.pixels.size()) return 256;
  int largest = 0;
  for (size_t k = 0; k < a.pixels.size(); ++k) largest = std::max(largest, std::abs(a.pixels[k] - b.pixels[k]));
  return largest;
}

KsRef<PanoProjection> Probe(const KsRef<PanoProjection>& inner, KsSizeF size = {}) {
  auto probe = KsMakeRef<ProbeProjection>();
  probe->SetInner(inner);
  probe->SetSize(size);
  return probe;
}

TEST(UnwarpTask, MissingPartsAnswerUntracedAndChangeNothing) {
  KsRef<BufferSource> source = MakeBufferSource(Pattern(8, 4), kRGBA);
  auto output = KsMakeRef<OutputBuffer>();
  auto equirect = KsMakeRef<EquirectangularProj>();
  TraceCapture trace;
  EXPECT_EQ(-602, MakeTask(source, equirect, nullptr, equirect)->Unwarp());
  EXPECT_EQ(-602, MakeTask(nullptr, equirect, output, equirect)->Unwarp());
  EXPECT_EQ(-202, MakeTask(source, nullptr, output, equirect)->Unwarp());
  EXPECT_EQ(-202, MakeTask(source, equirect, output, nullptr)->Unwarp());
  EXPECT_TRUE(trace.lines.empty());
  EXPECT_FALSE(output->GetHasDimensions());
  EXPECT_FALSE(output->GetProjection());
  EXPECT_EQ(nullptr, output->GetBaseAddress());
}

// 4:2:2 and packed formats have no whole components to interpolate; a
// sampler would read past the row. The unwarp answers -2 and leaves the
// output as it was: without size, projection or pixel format.
TEST(UnwarpTask, SourcesNoSamplerCanReadAreRefusedBeforeAnythingChanges) {
  auto equirect = KsMakeRef<EquirectangularProj>();
  for (uint32_t code : {PixelFormatCode("2vuy"), PixelFormatCode("yuvs"), PixelFormatCode("yuvu"),
                        PixelFormatCode("L555"), PixelFormatCode("5551"), PixelFormatCode("L565"),
                        PixelFormatCode("B565"), uint32_t{16}}) {
    SCOPED_TRACE(code);
    auto source = KsMakeRef<BufferSource>();
    ASSERT_EQ(0, source->SetPixelFormat(code));
    ASSERT_EQ(0, source->CreateBuffer(8, 4));
    std::memset(source->GetBaseAddress(), 0x55, source->GetBufferSize());
    auto output = KsMakeRef<OutputBuffer>();
    EXPECT_EQ(-2, MakeTask(source, equirect, output, equirect)->Unwarp());
    EXPECT_FALSE(output->GetHasDimensions());
    EXPECT_FALSE(output->GetProjection());
    EXPECT_EQ(0, output->SetPixelFormat(kRGBA));
  }
  // A source that is no buffer, and a buffer source without its buffer.
  auto mosaic = KsMakeRef<MosaicSource>();
  mosaic->SetBaseSource(MakeBufferSource(Pattern(8, 4), kRGBA));
  auto empty = KsMakeRef<BufferSource>();
  empty->SetPixelFormat(kRGBA);
  for (const KsRef<PanoSource>& source : {KsRef<PanoSource>(mosaic), KsRef<PanoSource>(empty)}) {
    auto output = KsMakeRef<OutputBuffer>();
    EXPECT_EQ(-2, MakeTask(source, equirect, output, equirect)->Unwarp());
    EXPECT_FALSE(output->GetHasDimensions());
  }
}

TEST(UnwarpTask, OutputOfAnotherFormatKeepsItAndItsPixels) {
  KsRef<BufferSource> source = MakeBufferSource(Pattern(8, 4), kRGBA);
  auto output = KsMakeRef<OutputBuffer>();
  ASSERT_EQ(0, output->SetPixelFormat(PixelFormatCode("BGRA")));
  ASSERT_EQ(0, output->Initialize(KsSize<int>{8, 4}));
  std::memset(output->GetBaseAddress(), 0x77, output->GetBufferSize());
  auto equirect = KsMakeRef<EquirectangularProj>();
  EXPECT_EQ(-2, MakeTask(source, equirect, output, equirect)->Unwarp());
  EXPECT_EQ(PixelFormatCode("BGRA"), output->GetPixelFormat());
  EXPECT_FALSE(output->GetProjection());
  for (uint64_t k = 0; k < output->GetBufferSize(); ++k) ASSERT_EQ(0x77, output->GetBaseAddress()[k]);
}

struct SizeCase {
  KsSizeF derived;
  float widthMultiple;
  float heightMultiple;
  int width;
  int height;
};

// The output projection answers `derived` for the source's clean area; the
// width rule runs first and the height rule may undo its multiple.
TEST(UnwarpTask, EmptyOutputsGetTheDerivedSizeRoundedToTheMultiples) {
  const SizeCase cases[] = {
      {{1000.7f, 500.2f}, 16, 0, 992, 496},  {{1000.7f, 500.2f}, 0, 0, 1000, 500},
      {{1000.7f, 500.2f}, 1.9f, 1, 1000, 500}, {{1000.7f, 500.2f}, 24, 0, 984, 492},
      {{1000.7f, 500.2f}, 0, 16, 992, 496},  {{1000.7f, 500.2f}, 16, 16, 992, 496},
      {{1000.7f, 500.2f}, 16, 7, 980, 490},
  };
  KsRef<BufferSource> source = MakeBufferSource(Pattern(8, 4), kRGBA);
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.widthMultiple << " " << c.heightMultiple);
    auto output = KsMakeRef<OutputBuffer>();
    KsRef<UnwarpTask> task =
        MakeTask(source, KsMakeRef<EquirectangularProj>(), output, Probe(KsMakeRef<EquirectangularProj>(), c.derived));
    task->SetWidthMultiple(c.widthMultiple);
    task->SetHeightMultiple(c.heightMultiple);
    ASSERT_EQ(0, task->Unwarp());
    EXPECT_EQ(c.width, output->GetWidth());
    EXPECT_EQ(c.height, output->GetHeight());
    EXPECT_EQ(c.width, task->GetOutputWidth());
    EXPECT_EQ(c.height, task->GetOutputHeight());
  }
}

TEST(UnwarpTask, SizesComeFromTheSourceAreaScaledOrFromTheOutput) {
  KsRef<BufferSource> source = MakeBufferSource(Pattern(200, 100), kRGBA);
  auto equirect = KsMakeRef<EquirectangularProj>();
  // An equirectangular clean area of w x h keeps pixels square: 2 : 1.
  auto output = KsMakeRef<OutputBuffer>();
  KsRef<UnwarpTask> task = MakeTask(source, equirect, output, equirect);
  EXPECT_EQ(1.0f, task->GetAreaScale());
  ASSERT_EQ(0, task->Unwarp());
  EXPECT_EQ(200, output->GetWidth());
  EXPECT_EQ(100, output->GetHeight());

  output = KsMakeRef<OutputBuffer>();
  task = MakeTask(source, equirect, output, equirect);
  task->SetAreaScale(2.0f);
  EXPECT_EQ(2.0f, task->GetAreaScale());
  ASSERT_EQ(0, task->Unwarp());
  EXPECT_EQ(282, output->GetWidth());
  EXPECT_EQ(141, output->GetHeight());

  // An output with a size keeps it whatever the source's area.
  output = MakeOutput(source, 640, 480);
  ASSERT_EQ(0, MakeTask(source, equirect, output, Probe(equirect, {1000.7f, 500.2f}))->Unwarp());
  EXPECT_EQ(640, output->GetWidth());
  EXPECT_EQ(480, output->GetHeight());

  // A planar source has no clean area: no size, and the failure is returned
  // before the output gets a projection.
  output = KsMakeRef<OutputBuffer>();
  EXPECT_EQ(-2, MakeTask(source, KsMakeRef<PlanarProjection>(), output, equirect)->Unwarp());
  EXPECT_FALSE(output->GetProjection());
}

TEST(UnwarpTask, OutputCarriesTheFormatACopyOfTheProjectionAndANewFrame) {
  KsRef<BufferSource> source = MakeBufferSource(Pattern(32, 16), kRGBA);
  auto cylinder = KsMakeRef<CylindricalProj>();
  cylinder->SetZeroPanOffsetDeg(30.0f);
  auto output = KsMakeRef<OutputBuffer>();
  const uint32_t frames = output->GetFrameCount();
  ASSERT_EQ(0, MakeTask(source, KsMakeRef<EquirectangularProj>(), output, cylinder)->Unwarp());
  EXPECT_EQ(kRGBA, output->GetPixelFormat());
  KsRef<CylindricalProj> carried = output->GetProjection().DynamicCast<CylindricalProj>();
  ASSERT_TRUE(carried);
  EXPECT_NE(cylinder.Get(), carried.Get());
  EXPECT_FLOAT_EQ(30.0f, carried->GetZeroPanOffsetDeg());
  EXPECT_FLOAT_EQ(static_cast<float>(output->GetWidth()) / static_cast<float>(output->GetHeight()),
                  carried->GetImageAspect());
  EXPECT_TRUE(output->GetHasData());
  EXPECT_EQ(frames + 1, output->GetFrameCount());
  float red = 0.0f;
  EXPECT_EQ(0, output->GetDataAtPoint(1, 1, PixelFormatInfo::kCompR, &red));
}

TEST(UnwarpTask, CartesianOutputsTakeTheFastPathAndSayItThroughTheTrace) {
  KsRef<BufferSource> source = MakeBufferSource(Pattern(32, 16), kRGBA);
  auto equirect = KsMakeRef<EquirectangularProj>();
  TraceCapture trace("<TraceSettings><UnwarpTask.cpp>Verbose</UnwarpTask.cpp></TraceSettings>");
  const std::string line = "Using cartesian output projection";
  ASSERT_EQ(0, MakeTask(source, equirect, MakeOutput(source, 32, 8), KsMakeRef<CylindricalProj>())->Unwarp());
  EXPECT_EQ(1, trace.Count(line));
  ASSERT_EQ(0, MakeTask(source, equirect, MakeOutput(source, 32, 8), equirect)->Unwarp());
  EXPECT_EQ(2, trace.Count(line));
  ASSERT_EQ(0, MakeTask(source, equirect, MakeOutput(source, 32, 32), KsMakeRef<KestrelProj>())->Unwarp());
  EXPECT_EQ(2, trace.Count(line));
  EXPECT_EQ(2, trace.Count("UnwarpTask.cpp"));
}

// A refused row is background from end to end; a refused point in the middle
// of a row leaves its neighbours as they were.
TEST(UnwarpTask, RefusedRowsAndPointsBecomeBackgroundAlone) {
  KsRef<BufferSource> source = MakeBufferSource(Pattern(16, 8), kRGBA);
  auto equirect = KsMakeRef<EquirectangularProj>();
  const TestImage whole = UnwarpPicture(source, equirect, Probe(equirect), 16, 8);
  auto probe = KsMakeRef<ProbeProjection>();
  probe->SetInner(equirect);
  probe->SetRefusedRows({2.0f / 8, 3.0f / 8});
  probe->SetRefusedPoint({5.0f / 16, 6.0f / 8});
  const TestImage holed = UnwarpPicture(source, equirect, probe, 16, 8);
  ASSERT_FALSE(whole.Empty());
  ASSERT_FALSE(holed.Empty());
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      const bool refused = y == 2 || (x == 5 && y == 6);
      EXPECT_EQ(refused, IsBackground(holed, x, y));
      if (!refused) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(whole.At(x, y, c), holed.At(x, y, c));
      }
    }
  }

  // The fast path: a cylinder squeezed into the top half refuses the rows
  // below it.
  auto squeezed = KsMakeRef<CylindricalProj>();
  squeezed->SetVerticalScale(0.5f);
  const TestImage half = UnwarpPicture(source, equirect, squeezed, 16, 8);
  ASSERT_FALSE(half.Empty());
  for (int y = 0; y < 8; ++y) {
    if (y == 4) continue;  // the lower tilt limit itself
    for (int x = 0; x < 16; ++x) EXPECT_EQ(y > 4, IsBackground(half, x, y)) << x << "," << y;
  }
}

// Pan 90 at the left edge: both paths show the source turned by a quarter,
// the columns past its right edge wrapping to its start. A source covering
// half the circle does not wrap.
TEST(UnwarpTask, BothPathsHonourTheZeroPanOffsetAndWrapFullCircles) {
  const TestImage picture = Pattern(64, 32);
  KsRef<BufferSource> source = MakeBufferSource(picture, kRGBA);
  auto equirect = KsMakeRef<EquirectangularProj>();
  auto turned = KsMakeRef<EquirectangularProj>();
  turned->SetZeroPanOffsetDeg(90.0f);
  const TestImage fast = UnwarpPicture(source, equirect, turned, 64, 32);
  const TestImage general = UnwarpPicture(source, equirect, Probe(turned), 64, 32);
  TestImage expected = TestImage::Blank(64, 32, 3);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      for (int c = 0; c < 3; ++c) expected.At(x, y, c) = picture.At((x + 16) % 64, y, c);
    }
  }
  EXPECT_LE(MaxDifference(expected, fast), 1);
  EXPECT_LE(MaxDifference(expected, general), 1);

  auto half = KsMakeRef<EquirectangularProj>();
  half->SetPanMaxDeg(180.0f);
  const TestImage halfShown = UnwarpPicture(source, half, equirect, 64, 32);
  ASSERT_FALSE(halfShown.Empty());
  for (int x = 0; x < 64; ++x) EXPECT_EQ(x > 32, IsBackground(halfShown, x, 10)) << x;
}

}  // namespace
