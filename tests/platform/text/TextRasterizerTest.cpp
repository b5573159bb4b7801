#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TextTestSupport.h"
#include "platform/text/GlyphAtlas.h"

using namespace hc::text;

namespace {

StyledText Rtf(const std::string& rtf) {
  StyledText text;
  EXPECT_EQ(ReadRtf(rtf, &text), TextErr::Ok) << rtf;
  return text;
}

RgbaImage Draw(const StyledText& text, float scale = 1.0f, RasterOptions options = {}) {
  options.scale = scale;
  RgbaImage image;
  EXPECT_EQ(TextRasterizer::Rasterize(text, options, &image), TextErr::Ok);
  return image;
}

TEST(TextRasterizer, ImageIsTheNaturalSizeRoundedUpAtEachScale) {
  const StyledText text = Rtf(R"({\rtf1\fs28 Caption one\par\fs20 second line})");
  TextSize size;
  ASSERT_EQ(TextRasterizer::Measure(text, &size), TextErr::Ok);
  EXPECT_GT(size.width, 50.0f);
  EXPECT_GT(size.height, 20.0f);
  for (float scale : {1.0f, 2.0f, 0.5f, 1.37f}) {
    const RgbaImage image = Draw(text, scale);
    EXPECT_EQ(image.width, static_cast<int>(std::ceil(size.width * scale - 1e-4f))) << scale;
    EXPECT_EQ(image.height, static_cast<int>(std::ceil(size.height * scale - 1e-4f))) << scale;
    EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height * 4);
  }
  RgbaImage empty;
  ASSERT_EQ(TextRasterizer::Rasterize(StyledText{}, {}, &empty), TextErr::Ok);
  EXPECT_EQ(empty.width, 0);
  EXPECT_EQ(empty.height, 0);
}

TEST(TextRasterizer, InkLiesOnTheLinesOfText) {
  // Three lines of the same size; the middle one is empty.
  const StyledText text = Rtf(R"({\rtf1\fs40 Hxg\par\par Hxg})");
  const RgbaImage image = Draw(text);
  const int line = image.height / 3;
  const InkBox first = InkIn(image, 0, line);
  const InkBox middle = InkIn(image, line + 2, 2 * line - 2);
  const InkBox last = InkIn(image, 2 * line, image.height);
  EXPECT_FALSE(first.Empty());
  EXPECT_TRUE(middle.Empty());
  EXPECT_FALSE(last.Empty());
  // Left-aligned text starts within a pixel or two of the left edge.
  EXPECT_LE(first.x0, 3);
  EXPECT_LE(last.x0, 3);
}

TEST(TextRasterizer, BoldIsHeavierThanRegular) {
  const double regular = InkAmount(Draw(Rtf(R"({\rtf1\fs40 Heavier text})")));
  const double bold = InkAmount(Draw(Rtf(R"({\rtf1\fs40\b Heavier text})")));
  EXPECT_GT(bold, regular * 1.2);
  // A face without a bold style of its own is emboldened.
  const double unknownRegular = InkAmount(Draw(Rtf(R"({\rtf1{\fonttbl\f0\fnil No Such Font;}\fs40 Heavier})")));
  const double unknownBold = InkAmount(Draw(Rtf(R"({\rtf1{\fonttbl\f0\fnil No Such Font;}\fs40\b Heavier})")));
  EXPECT_GT(unknownRegular, 0.0);
  EXPECT_GT(unknownBold, unknownRegular * 1.2);
}

TEST(TextRasterizer, AlignmentPlacesEachLineWithinTheWidest) {
  const StyledText text =
      Rtf(R"({\rtf1\fs32 A much longer first line of text\par\qc mid\par\pard\qr end\par\pard left})");
  const RgbaImage image = Draw(text, 2.0f);
  const int line = image.height / 4;
  const InkBox centred = InkIn(image, line, 2 * line);
  const InkBox right = InkIn(image, 2 * line, 3 * line);
  const InkBox left = InkIn(image, 3 * line, image.height);
  ASSERT_FALSE(centred.Empty());
  // Centred within a pixel or two (glyph side bearings aside).
  EXPECT_NEAR(centred.CentreX(), image.width * 0.5f, 2.5f);
  EXPECT_GE(right.x1, image.width - 4);
  EXPECT_LE(left.x0, 4);
}

TEST(TextRasterizer, ColoursComeFromTheRunOrTheDefault) {
  const StyledText text = Rtf(R"({\rtf1{\colortbl;\red255\green0\blue0;}\fs40 \cf1 RRRR\cf0 DDDD})");
  RasterOptions options;
  options.textColor = Rgba8{0, 0, 255, 255};
  const RgbaImage image = Draw(text, 1.0f, options);
  int red = 0, blue = 0, other = 0;
  for (size_t i = 0; i < image.pixels.size(); i += 4) {
    if (image.pixels[i + 3] < 255) continue;
    const uint8_t* p = &image.pixels[i];
    if (p[0] == 255 && p[1] == 0 && p[2] == 0) {
      ++red;
    } else if (p[0] == 0 && p[1] == 0 && p[2] == 255) {
      ++blue;
    } else {
      ++other;
    }
  }
  EXPECT_GT(red, 20);
  EXPECT_GT(blue, 20);
  EXPECT_EQ(other, 0);
}

TEST(TextRasterizer, BackgroundFillsTheWholeImageOnlyWhenVisible) {
  const StyledText text = Rtf(R"({\rtf1\fs40 i  i})");
  const RgbaImage clear = Draw(text);
  EXPECT_EQ(clear.pixels[3], 0);  // top-left corner stays transparent
  RasterOptions options;
  options.backgroundColor = Rgba8{10, 20, 30, 128};
  const RgbaImage filled = Draw(text, 1.0f, options);
  EXPECT_EQ(filled.pixels[0], 10);
  EXPECT_EQ(filled.pixels[3], 128);
  const size_t last = filled.pixels.size() - 4;
  EXPECT_EQ(filled.pixels[last + 3], 128);
}

TEST(TextRasterizer, UnderlineDrawsALineUnderTheRun) {
  const double plain = InkAmount(Draw(Rtf(R"({\rtf1\fs40 ----})")));
  const double underlined = InkAmount(Draw(Rtf(R"({\rtf1\fs40\ul ----})")));
  EXPECT_GT(underlined, plain * 1.1);
}

TEST(TextRasterizer, RefusesBadScalesAndHugeImages) {
  const StyledText text = Rtf(R"({\rtf1 Caption})");
  RgbaImage image;
  image.width = 7;
  for (float scale : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    RasterOptions options;
    options.scale = scale;
    EXPECT_EQ(TextRasterizer::Rasterize(text, options, &image), TextErr::BadArgument);
  }
  RasterOptions huge;
  huge.scale = 1000.0f;
  EXPECT_EQ(TextRasterizer::Rasterize(text, huge, &image), TextErr::TooLarge);
  EXPECT_EQ(image.width, 7);
  EXPECT_EQ(TextRasterizer::Rasterize(text, {}, nullptr), TextErr::BadArgument);
  EXPECT_EQ(TextRasterizer::Measure(text, nullptr), TextErr::BadArgument);
}

TEST(TextRasterizer, TabsMoveToTheNextStop) {
  TextSize withTab;
  TextSize plain;
  ASSERT_EQ(TextRasterizer::Measure(Rtf(R"({\rtf1 a\tab b})"), &withTab), TextErr::Ok);
  ASSERT_EQ(TextRasterizer::Measure(Rtf(R"({\rtf1 a})"), &plain), TextErr::Ok);
  // "b" starts at the first stop, 36 points in.
  EXPECT_GT(withTab.width, 36.0f);
  EXPECT_LT(withTab.width, 36.0f + plain.width + 1.0f);
}

TEST(GlyphAtlas, LaysTextOutAndRasterisesEachGlyphOnce) {
  GlyphAtlas atlas(16.0f);
  std::vector<GlyphAtlas::Quad> quads;
  float width = 0, height = 0;
  ASSERT_EQ(atlas.Layout("Tex #2", &quads, &width, &height), TextErr::Ok);
  EXPECT_EQ(quads.size(), 5u);  // the space has no ink
  EXPECT_GT(width, 30.0f);
  EXPECT_GE(height, 16.0f);
  for (const auto& q : quads) {
    EXPECT_GE(q.x0, -1.0f);
    EXPECT_LE(q.x1, width + 1.0f);
    EXPECT_GE(q.y0, 0.0f);
    EXPECT_LE(q.y1, height);
    EXPECT_LT(q.s0, q.s1);
    EXPECT_LT(q.t0, q.t1);
  }
  const uint64_t generation = atlas.Generation();
  const uint64_t rasterised = atlas.RasterisedGlyphs();
  ASSERT_EQ(atlas.Layout("Tex #2", &quads), TextErr::Ok);
  EXPECT_EQ(atlas.Generation(), generation);
  EXPECT_EQ(atlas.RasterisedGlyphs(), rasterised);
  // A second line lies below the first.
  ASSERT_EQ(atlas.Layout("a\nb", &quads, &width, &height), TextErr::Ok);
  ASSERT_EQ(quads.size(), 2u);
  EXPECT_GT(quads[1].y0, quads[0].y1 - 2.0f);
  // Texels under a quad hold the glyph's coverage.
  double coverage = 0;
  const auto& q = quads[0];
  for (int y = static_cast<int>(q.t0 * GlyphAtlas::kSide); y < static_cast<int>(q.t1 * GlyphAtlas::kSide); ++y) {
    for (int x = static_cast<int>(q.s0 * GlyphAtlas::kSide); x < static_cast<int>(q.s1 * GlyphAtlas::kSide); ++x) {
      coverage += atlas.Texels()[static_cast<size_t>(y) * GlyphAtlas::kSide + x];
    }
  }
  EXPECT_GT(coverage, 0.0);
}

TEST(GlyphAtlas, StartsOverWhenFull) {
  GlyphAtlas atlas(128.0f);
  std::vector<GlyphAtlas::Quad> quads;
  std::string many;
  for (char c = 'A'; c <= 'Z'; ++c) many += c;
  for (char c = 'a'; c <= 'z'; ++c) many += c;
  for (char c = '0'; c <= '9'; ++c) many += c;
  // 62 glyphs of about 80 x 100 pixels can't share a 512 x 512 atlas.
  const TextErr err = atlas.Layout(many, &quads);
  EXPECT_EQ(err, TextErr::TooLarge);
  const uint64_t generation = atlas.Generation();
  ASSERT_EQ(atlas.Layout("Hi", &quads), TextErr::Ok);
  EXPECT_EQ(quads.size(), 2u);
  EXPECT_GE(atlas.Generation(), generation);
}

}  // namespace
