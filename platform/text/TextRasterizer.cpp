#include "platform/text/TextRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/text/FontCatalog.h"
#include "platform/text/Utf8.h"

namespace hc::text {
namespace {

// Slant of a synthetic italic (about 12 degrees), 16.16.
constexpr FT_Fixed kItalicShear = 0x0366A;
// A synthetic bold widens each glyph by its size over this.
constexpr float kBoldDivisor = 24.0f;
// Larger layouts are refused before any image is made.
constexpr float kMaxLayoutPoints = 1.0e6f;

FT_Face RasterFace(const FontFace* face) { return static_cast<FT_Face>(face->ftFace); }

// Face measures at a size, points.
struct FaceMetrics {
  float ascent = 0.0f;
  float descent = 0.0f;
  float gap = 0.0f;
};

FaceMetrics MetricsOf(const FontFace* face, float size) {
  const FT_Face ft = RasterFace(face);
  const float unit = size / static_cast<float>(ft->units_per_EM);
  FaceMetrics metrics;
  metrics.ascent = static_cast<float>(ft->ascender) * unit;
  metrics.descent = -static_cast<float>(ft->descender) * unit;
  metrics.gap = std::max(0.0f, static_cast<float>(ft->height) * unit - metrics.ascent - metrics.descent);
  if (metrics.ascent + metrics.descent <= 0.0f) {
    metrics.ascent = size * 0.8f;
    metrics.descent = size * 0.2f;
  }
  return metrics;
}

struct PlacedGlyph {
  const FontFace* face;
  FT_UInt glyph;
  float x;
  float size;
  const TextStyle* style;
};

struct UnderlineSpan {
  float x0;
  float x1;
  const FontFace* face;
  const TextStyle* style;
};

struct Line {
  ParagraphAlignment alignment = ParagraphAlignment::Left;
  std::vector<PlacedGlyph> glyphs;
  std::vector<UnderlineSpan> underlines;
  float width = 0.0f;
  float ascent = 0.0f;
  float descent = 0.0f;
  float gap = 0.0f;
  bool measured = false;
  float top = 0.0f;

  void Include(const FaceMetrics& metrics) {
    ascent = std::max(ascent, metrics.ascent);
    descent = std::max(descent, metrics.descent);
    gap = std::max(gap, metrics.gap);
    measured = true;
  }
  float Height() const { return ascent + descent + gap; }
};

struct Layout {
  std::vector<Line> lines;
  float width = 0.0f;
  float height = 0.0f;
};

class LayoutBuilder {
 public:
  LayoutBuilder(FontCatalog& catalog, float tabInterval) : m_catalog(catalog), m_tab(tabInterval) {}

  TextErr Paragraph(const TextParagraph& paragraph) {
    StartLine(paragraph.alignment);
    for (const TextRun& run : paragraph.runs) {
      if (TextErr err = Run(run); err != TextErr::Ok) return err;
    }
    return FinishLine(paragraph.endStyle);
  }

  Layout Take() {
    float top = 0.0f;
    for (Line& line : m_layout.lines) {
      line.top = top;
      top += line.Height();
      m_layout.width = std::max(m_layout.width, line.width);
    }
    m_layout.height = top;
    return std::move(m_layout);
  }

 private:
  Line& Current() { return m_layout.lines.back(); }

  void StartLine(ParagraphAlignment alignment) {
    m_layout.lines.emplace_back();
    Current().alignment = alignment;
    m_pen = 0.0f;
  }

  TextErr FinishLine(const TextStyle& fallbackStyle) {
    Line& line = Current();
    line.width = m_pen;
    if (!line.measured) {
      FontFace* face = nullptr;
      if (TextErr err = FaceOf(fallbackStyle, &face); err != TextErr::Ok) return err;
      line.Include(MetricsOf(face, fallbackStyle.sizePoints));
    }
    if (!std::isfinite(m_pen) || m_pen > kMaxLayoutPoints) return TextErr::TooLarge;
    return TextErr::Ok;
  }

  TextErr FaceOf(const TextStyle& style, FontFace** face) {
    return m_catalog.FaceFor(style.fontName, style.fontKind, style.bold, style.italic, face);
  }

  TextErr Run(const TextRun& run) {
    FontFace* face = nullptr;
    if (TextErr err = FaceOf(run.style, &face); err != TextErr::Ok) return err;
    const float size = run.style.sizePoints;
    const FaceMetrics metrics = MetricsOf(face, size);
    Current().Include(metrics);
    float underlineStart = m_pen;
    size_t pos = 0;
    while (pos < run.text.size()) {
      const char32_t c = NextCodePoint(run.text, pos);
      if (c == '\n') {
        AddUnderline(run.style, face, underlineStart);
        if (TextErr err = FinishLine(run.style); err != TextErr::Ok) return err;
        StartLine(Current().alignment);
        Current().Include(metrics);
        underlineStart = 0.0f;
        continue;
      }
      if (c == '\t') {
        m_pen = (std::floor(m_pen / m_tab) + 1.0f) * m_tab;
        continue;
      }
      Place(c, run.style, face, size);
    }
    AddUnderline(run.style, face, underlineStart);
    return TextErr::Ok;
  }

  void Place(char32_t c, const TextStyle& style, FontFace* face, float size) {
    FontFace* used = face;
    FT_UInt glyph = FT_Get_Char_Index(RasterFace(face), c);
    if (glyph == 0) {
      if (FontFace* other = m_catalog.FaceForCharacter(c, style.bold, style.italic)) {
        used = other;
        glyph = FT_Get_Char_Index(RasterFace(other), c);
        Current().Include(MetricsOf(other, size));
      }
    }
    FT_Fixed advance = 0;
    FT_Get_Advance(RasterFace(used), glyph, FT_LOAD_NO_SCALE, &advance);
    Current().glyphs.push_back(PlacedGlyph{used, glyph, m_pen, size, &style});
    m_pen += static_cast<float>(advance) * size / static_cast<float>(RasterFace(used)->units_per_EM);
    if (used->syntheticBold) m_pen += size / kBoldDivisor;
  }

  void AddUnderline(const TextStyle& style, const FontFace* face, float start) {
    if (style.underline && m_pen > start) Current().underlines.push_back(UnderlineSpan{start, m_pen, face, &style});
  }

  FontCatalog& m_catalog;
  float m_tab;
  float m_pen = 0.0f;
  Layout m_layout;
};

TextErr LayOut(const StyledText& text, FontCatalog& catalog, Layout* out) {
  const float tab = std::isfinite(text.tabIntervalPoints) && text.tabIntervalPoints >= 1.0f
                        ? text.tabIntervalPoints
                        : 36.0f;
  LayoutBuilder builder(catalog, tab);
  for (const TextParagraph& paragraph : text.paragraphs) {
    if (TextErr err = builder.Paragraph(paragraph); err != TextErr::Ok) return err;
  }
  *out = builder.Take();
  if (!std::isfinite(out->height) || out->height > kMaxLayoutPoints) return TextErr::TooLarge;
  return TextErr::Ok;
}

// Side of the image for a natural side: rounded up, forgiving the last bits
// of float arithmetic.
int64_t IntegralSide(float natural, float scale) {
  const double side = static_cast<double>(natural) * static_cast<double>(scale);
  return static_cast<int64_t>(std::ceil(side - 1e-4));
}

class Painter {
 public:
  Painter(RgbaImage& image, float scale) : m_image(image), m_scale(scale) {}

  void Fill(const Rgba8& color) {
    for (size_t i = 0; i < m_image.pixels.size(); i += 4) {
      m_image.pixels[i] = color.r;
      m_image.pixels[i + 1] = color.g;
      m_image.pixels[i + 2] = color.b;
      m_image.pixels[i + 3] = color.a;
    }
  }

  void Glyph(const PlacedGlyph& glyph, float x, float baseline, const Rgba8& color) {
    const FT_Face face = RasterFace(glyph.face);
    const float pixelSize = glyph.size * m_scale;
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64.0f)), 72, 72) != 0) return;
    const float px = x * m_scale;
    const float originX = std::floor(px);
    const int originY = static_cast<int>(std::lround(baseline * m_scale));
    FT_Vector delta{static_cast<FT_Pos>(std::lround((px - originX) * 64.0f)), 0};
    FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
    FT_Set_Transform(face, glyph.face->syntheticItalic ? &shear : nullptr, &delta);
    const FT_Error loaded = FT_Load_Glyph(face, glyph.glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
    FT_Set_Transform(face, nullptr, nullptr);
    if (loaded != 0) return;
    FT_GlyphSlot slot = face->glyph;
    if (glyph.face->syntheticBold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      const auto strength = static_cast<FT_Pos>(std::lround(pixelSize * 64.0f / kBoldDivisor));
      FT_Outline_EmboldenXY(&slot->outline, strength, strength);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    const int left = static_cast<int>(originX) + slot->bitmap_left;
    const int top = originY - slot->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
      for (unsigned column = 0; column < bitmap.width; ++column) {
        if (source[column] != 0) {
          Blend(left + static_cast<int>(column), top + static_cast<int>(row), color,
                static_cast<float>(source[column]) / 255.0f);
        }
      }
    }
  }

  void Underline(const UnderlineSpan& span, float offset, float baseline, const Rgba8& color) {
    const FT_Face face = RasterFace(span.face);
    const float unit = span.style->sizePoints / static_cast<float>(face->units_per_EM);
    const float centre = (baseline - static_cast<float>(face->underline_position) * unit) * m_scale;
    const float thickness = std::max(1.0f, std::round(static_cast<float>(face->underline_thickness) * unit * m_scale));
    const int y0 = static_cast<int>(std::lround(centre - thickness * 0.5f));
    const int y1 = y0 + static_cast<int>(thickness);
    const int x0 = static_cast<int>(std::lround((offset + span.x0) * m_scale));
    const int x1 = static_cast<int>(std::lround((offset + span.x1) * m_scale));
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) Blend(x, y, color, 1.0f);
    }
  }

 private:
  // Source-over of a colour at a coverage, alpha not premultiplied.
  void Blend(int x, int y, const Rgba8& color, float coverage) {
    if (x < 0 || y < 0 || x >= m_image.width || y >= m_image.height) return;
    uint8_t* pixel = &m_image.pixels[(static_cast<size_t>(y) * static_cast<size_t>(m_image.width) +
                                      static_cast<size_t>(x)) * 4];
    const float sourceAlpha = static_cast<float>(color.a) / 255.0f * coverage;
    if (sourceAlpha <= 0.0f) return;
    const float destinationAlpha = static_cast<float>(pixel[3]) / 255.0f;
    const float keep = destinationAlpha * (1.0f - sourceAlpha);
    const float alpha = sourceAlpha + keep;
    const uint8_t components[3] = {color.r, color.g, color.b};
    for (int k = 0; k < 3; ++k) {
      const float value = (static_cast<float>(components[k]) * sourceAlpha + static_cast<float>(pixel[k]) * keep) / alpha;
      pixel[k] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
    }
    pixel[3] = static_cast<uint8_t>(std::clamp(std::lround(alpha * 255.0f), 0L, 255L));
  }

  RgbaImage& m_image;
  float m_scale;
};

float AlignmentOffset(const Line& line, float layoutWidth) {
  switch (line.alignment) {
    case ParagraphAlignment::Right: return layoutWidth - line.width;
    case ParagraphAlignment::Center: return (layoutWidth - line.width) * 0.5f;
    case ParagraphAlignment::Left:
    case ParagraphAlignment::Justified: break;
  }
  return 0.0f;
}

}  // namespace

TextErr TextRasterizer::Measure(const StyledText& text, TextSize* out) {
  if (!out) return TextErr::BadArgument;
  try {
    FontCatalog& catalog = FontCatalog::Shared();
    auto lock = catalog.Lock();
    Layout layout;
    if (TextErr err = LayOut(text, catalog, &layout); err != TextErr::Ok) return err;
    *out = TextSize{layout.width, layout.height};
    return TextErr::Ok;
  } catch (const std::bad_alloc&) {
    return TextErr::OutOfMemory;
  }
}

TextErr TextRasterizer::Rasterize(const StyledText& text, const RasterOptions& options, RgbaImage* out) {
  if (!out || !std::isfinite(options.scale) || options.scale <= 0.0f) return TextErr::BadArgument;
  try {
    FontCatalog& catalog = FontCatalog::Shared();
    auto lock = catalog.Lock();
    Layout layout;
    if (TextErr err = LayOut(text, catalog, &layout); err != TextErr::Ok) return err;
    const int64_t width = IntegralSide(layout.width, options.scale);
    const int64_t height = IntegralSide(layout.height, options.scale);
    if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels) {
      return TextErr::TooLarge;
    }
    RgbaImage image;
    image.width = static_cast<int>(std::max<int64_t>(width, 0));
    image.height = static_cast<int>(std::max<int64_t>(height, 0));
    image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4, 0);
    Painter painter(image, options.scale);
    if (options.backgroundColor.a > 0) painter.Fill(options.backgroundColor);
    for (const Line& line : layout.lines) {
      const float offset = AlignmentOffset(line, layout.width);
      const float baseline = line.top + line.ascent;
      for (const PlacedGlyph& glyph : line.glyphs) {
        painter.Glyph(glyph, offset + glyph.x, baseline, glyph.style->color.value_or(options.textColor));
      }
      for (const UnderlineSpan& span : line.underlines) {
        painter.Underline(span, offset, baseline, span.style->color.value_or(options.textColor));
      }
    }
    *out = std::move(image);
    return TextErr::Ok;
  } catch (const std::bad_alloc&) {
    return TextErr::OutOfMemory;
  }
}

}  // namespace hc::text
