#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "Source/BufferSource.h"
#include "Unwarp/Sampler.h"
#include "UnwarpTestSupport.h"

namespace {

// A buffer of the format whose bytes are given; the buffer is exactly that
// long, so a read past it shows under the address sanitizer.
KsRef<BufferSource> Buffer(uint32_t format, int width, int height, const std::vector<uint8_t>& bytes = {}) {
  auto buffer = KsMakeRef<BufferSource>();
  EXPECT_EQ(0, buffer->SetPixelFormat(format));
  EXPECT_EQ(0, buffer->CreateBuffer(width, height));
  if (!bytes.empty()) {
    EXPECT_EQ(bytes.size(), buffer->GetBufferSize());
    std::memcpy(buffer->GetBaseAddress(), bytes.data(), std::min<size_t>(bytes.size(), buffer->GetBufferSize()));
  }
  return buffer;
}

// A grey 8-bit source and a one-pixel output; the value one point gives.
struct GreyProbe {
  KsRef<BufferSource> source;
  KsRef<BufferSource> output;
  std::unique_ptr<Sampler> sampler;

  GreyProbe(int width, int height, const std::vector<uint8_t>& pixels, bool wraps = false)
      : source(Buffer(PixelFormatInfo::k8Grey, width, height, pixels)),
        output(Buffer(PixelFormatInfo::k8Grey, 1, 1)),
        sampler(Sampler::Create(source, output)) {
    if (sampler) sampler->SetWrapsHorizontally(wraps);
  }
  int At(float x, float y) {
    output->GetBaseAddress()[0] = 0xee;
    sampler->SetCursor({0, 0});
    EXPECT_TRUE(sampler->SamplePixel({x, y}));
    return output->GetBaseAddress()[0];
  }
};

TEST(Sampler, DifferentFormatsGiveNoSamplerAndTraceBoth) {
  TraceCapture trace;
  EXPECT_FALSE(Sampler::Create(Buffer(PixelFormatCode("RGBA"), 2, 2), Buffer(PixelFormatCode("BGRA"), 2, 2)));
  EXPECT_EQ(1, trace.Count("Source and output buffers cannot have different pixel formats ('RGBA' vs. 'BGRA')"));
  EXPECT_FALSE(Sampler::Create(Buffer(PixelFormatInfo::k32ARGB, 2, 2), Buffer(PixelFormatCode("b64a"), 2, 2)));
  EXPECT_EQ(1, trace.Count("('32' vs. 'b64a')"));
  EXPECT_FALSE(Sampler::Create(nullptr, Buffer(PixelFormatCode("RGBA"), 2, 2)));
}

// Only pixels of 1, 3 or 4 whole components are sampled: packed RGB and the
// 4:2:2 formats, two bytes a pixel, are refused.
TEST(Sampler, OnlyWholeComponentFormatsGetASampler) {
  const std::set<uint32_t> refused = {PixelFormatCode("L555"), PixelFormatCode("5551"), 16,
                                      PixelFormatCode("L565"), PixelFormatCode("B565"), PixelFormatCode("yuvu"),
                                      PixelFormatCode("yuvs"), PixelFormatCode("2vuy")};
  int sampled = 0;
  for (const PixelFormatInfo* row = PixelFormatInfo::Table(); row->code != 0; ++row) {
    SCOPED_TRACE(row->code);
    const bool made = static_cast<bool>(Sampler::Create(Buffer(row->code, 3, 2), Buffer(row->code, 2, 2)));
    EXPECT_EQ(!refused.count(row->code), made);
    EXPECT_EQ(made, Sampler::CanSample(row));
    sampled += made;
  }
  EXPECT_EQ(16, sampled);
  // A buffer without pixels gives none either.
  auto empty = KsMakeRef<BufferSource>();
  empty->SetPixelFormat(PixelFormatCode("RGBA"));
  EXPECT_FALSE(Sampler::Create(empty, Buffer(PixelFormatCode("RGBA"), 2, 2)));
}

TEST(Sampler, BilinearSamplesTruncateAndPointsOutsideGiveTheBackground) {
  GreyProbe probe(2, 1, {10, 11});
  ASSERT_TRUE(probe.sampler);
  EXPECT_EQ(10, probe.At(0.25f, 0.0f));  // 10.5 truncated
  EXPECT_EQ(10, probe.At(0.0f, 0.0f));
  EXPECT_EQ(0, probe.At(-0.001f, 0.0f));
  EXPECT_EQ(0, probe.At(0.5f, 1.001f));
  EXPECT_EQ(0, probe.At(std::nanf(""), 0.5f));
  EXPECT_EQ(0, probe.At(0.5f, INFINITY));

  // Weights of all four neighbours: 100 (1 - fx)(1 - fy) + 200 fx (1 - fy)
  // + 40 (1 - fx) fy + 80 fx fy at fx = 0.25, fy = 0.75.
  GreyProbe square(2, 2, {100, 200, 40, 80});
  EXPECT_EQ(static_cast<int>(100 * 0.75f * 0.25f + 200 * 0.25f * 0.25f + 40 * 0.75f * 0.75f + 80 * 0.25f * 0.75f),
            square.At(0.125f, 0.375f));
}

// Neighbours past the last column or row are that column or row; for a full
// circle of pan the column after the last is the first, and points beyond
// either side wrap around.
TEST(Sampler, EdgesAreClampedOrWrapAroundTheCircle) {
  const std::vector<uint8_t> pixels = {10, 20, 30, 40, 50, 60, 70, 80};
  GreyProbe clamped(4, 2, pixels);
  EXPECT_EQ(40, clamped.At(0.875f, 0.0f));
  EXPECT_EQ(40, clamped.At(1.0f, 0.0f));
  EXPECT_EQ(80, clamped.At(1.0f, 1.0f));
  EXPECT_EQ(55, clamped.At(0.125f, 0.75f));  // the row below the last is the last
  EXPECT_EQ(0, clamped.At(1.25f, 0.0f));

  GreyProbe wrapped(4, 2, pixels, true);
  EXPECT_EQ(25, wrapped.At(0.875f, 0.0f));  // (40 + 10) / 2
  EXPECT_EQ(10, wrapped.At(1.0f, 0.0f));
  EXPECT_EQ(22, wrapped.At(1.3125f, 0.0f));   // 20 x 0.75 + 30 x 0.25
  EXPECT_EQ(17, wrapped.At(-0.0625f, 0.0f));  // 40 x 0.25 + 10 x 0.75
  EXPECT_EQ(0, wrapped.At(0.5f, -0.1f));
}

// 16-bit components are big-endian: 0x00ff and 0x0101 average to 0x0100.
TEST(Sampler, SixteenBitComponentsAreReadAndWrittenBigEndian) {
  KsRef<BufferSource> source = Buffer(PixelFormatCode("b16g"), 2, 1, {0x00, 0xff, 0x01, 0x01});
  KsRef<BufferSource> output = Buffer(PixelFormatCode("b16g"), 1, 1);
  std::unique_ptr<Sampler> sampler = Sampler::Create(source, output);
  ASSERT_TRUE(sampler);
  sampler->SamplePixel({0.25f, 0.0f});
  EXPECT_EQ(0x01, output->GetBaseAddress()[0]);
  EXPECT_EQ(0x00, output->GetBaseAddress()[1]);

  // Floats are neither truncated nor clamped.
  const float values[] = {0.25f, 0.5f, 3.0f, -1.0f};
  std::vector<uint8_t> bytes(sizeof values);
  std::memcpy(bytes.data(), values, sizeof values);
  source = Buffer(PixelFormatCode("f32g"), 4, 1, bytes);
  output = Buffer(PixelFormatCode("f32g"), 2, 1);
  sampler = Sampler::Create(source, output);
  ASSERT_TRUE(sampler);
  sampler->SamplePixel({0.125f, 0.0f});
  sampler->SamplePixel({0.625f, 0.0f});
  float written[2];
  std::memcpy(written, output->GetBaseAddress(), sizeof written);
  EXPECT_FLOAT_EQ(0.375f, written[0]);
  EXPECT_FLOAT_EQ(1.0f, written[1]);
}

// Each call writes one pixel and steps; past the last pixel the cursor is
// back at the start, and a cursor outside the output writes nothing.
TEST(Sampler, TheCursorWalksRowsAndReturnsToTheStart) {
  KsRef<BufferSource> source = Buffer(PixelFormatCode("RGBA"), 1, 1, {9, 8, 7, 6});
  KsRef<BufferSource> output = Buffer(PixelFormatCode("RGBA"), 3, 2);
  std::memset(output->GetBaseAddress(), 0xee, output->GetBufferSize());
  std::unique_ptr<Sampler> sampler = Sampler::Create(source, output);
  ASSERT_TRUE(sampler);
  EXPECT_TRUE(sampler->SetCursor({2, 0}));
  EXPECT_TRUE(sampler->SamplePixel({0.5f, 0.5f}));
  EXPECT_EQ((KsPoint<int>{0, 1}), sampler->GetCursor());
  EXPECT_TRUE(sampler->BackgroundPixel());
  EXPECT_TRUE(sampler->SamplePixel({0.5f, 0.5f}));
  EXPECT_TRUE(sampler->SamplePixel({0.5f, 0.5f}));
  EXPECT_EQ((KsPoint<int>{0, 0}), sampler->GetCursor());
  const std::vector<uint8_t> expected = {0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 9, 8, 7, 6,
                                         0,    0,    0,    0,    9,    8,    7,    6,    9, 8, 7, 6};
  EXPECT_EQ(expected, std::vector<uint8_t>(output->GetBaseAddress(), output->GetBaseAddress() + 24));

  EXPECT_FALSE(sampler->SetCursor({3, 0}));
  EXPECT_FALSE(sampler->SetCursor({0, -1}));
  EXPECT_TRUE(sampler->SamplePixel({0.5f, 0.5f}));
  EXPECT_EQ(expected, std::vector<uint8_t>(output->GetBaseAddress(), output->GetBaseAddress() + 24));
}

}  // namespace
