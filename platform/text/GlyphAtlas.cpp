#include "platform/text/GlyphAtlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/text/FontCatalog.h"
#include "platform/text/Utf8.h"

namespace hc::text {
namespace {

// Empty texels around each glyph, so linear filtering never reaches a
// neighbour.
constexpr int kPadding = 1;

FT_Face Ft(const FontFace* face) { return static_cast<FT_Face>(face->ftFace); }

bool SetSize(const FontFace* face, float pixelSize) {
  return FT_Set_Char_Size(Ft(face), 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64.0f)), 72, 72) == 0;
}

}  // namespace

GlyphAtlas::GlyphAtlas(float pixelSize)
    : m_pixelSize(std::isfinite(pixelSize) ? std::clamp(pixelSize, 4.0f, 128.0f) : 16.0f),
      m_texels(static_cast<size_t>(kSide) * kSide, 0) {}

void GlyphAtlas::Clear() {
  std::fill(m_texels.begin(), m_texels.end(), 0);
  m_entries.clear();
  m_shelfX = m_shelfY = m_shelfHeight = 0;
  ++m_generation;
}

bool GlyphAtlas::Find(FontFace* face, uint32_t glyph, Entry** out) {
  const auto key = std::make_pair(static_cast<const FontFace*>(face), glyph);
  if (auto found = m_entries.find(key); found != m_entries.end()) {
    *out = &found->second;
    return true;
  }
  Entry entry;
  const FT_Face ft = Ft(face);
  FT_Set_Transform(ft, nullptr, nullptr);
  if (SetSize(face, m_pixelSize) && FT_Load_Glyph(ft, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) == 0 &&
      ft->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
    const FT_GlyphSlot slot = ft->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.rows);
    entry.advance = std::round(static_cast<float>(slot->advance.x) / 64.0f);
    if (width > 0 && height > 0) {
      if (width + 2 * kPadding > kSide || height + 2 * kPadding > kSide) return false;
      if (m_shelfX + width + 2 * kPadding > kSide) {
        m_shelfX = 0;
        m_shelfY += m_shelfHeight;
        m_shelfHeight = 0;
      }
      if (m_shelfY + height + 2 * kPadding > kSide) return false;
      entry.atlasX = m_shelfX + kPadding;
      entry.atlasY = m_shelfY + kPadding;
      for (int row = 0; row < height; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        std::copy(source, source + width,
                  m_texels.begin() + static_cast<ptrdiff_t>((entry.atlasY + row) * kSide + entry.atlasX));
      }
      m_shelfX += width + 2 * kPadding;
      m_shelfHeight = std::max(m_shelfHeight, height + 2 * kPadding);
      entry.present = true;
      entry.left = static_cast<float>(slot->bitmap_left);
      entry.top = static_cast<float>(slot->bitmap_top);
      entry.width = static_cast<float>(width);
      entry.height = static_cast<float>(height);
      ++m_generation;
    }
    ++m_rasterised;
  }
  auto inserted = m_entries.emplace(key, entry);
  *out = &inserted.first->second;
  return true;
}

TextErr GlyphAtlas::LayoutOnce(std::string_view utf8, std::vector<Quad>* quads, float* width, float* height,
                               bool* full) {
  FontCatalog& catalog = FontCatalog::Shared();
  FontFace* face = nullptr;
  if (TextErr err = catalog.FaceFor("DejaVu Sans", FontKind::Sans, false, false, &face); err != TextErr::Ok) {
    return err;
  }
  if (!SetSize(face, m_pixelSize)) return TextErr::NoFont;
  const FT_Size_Metrics& metrics = Ft(face)->size->metrics;
  const float ascent = std::ceil(static_cast<float>(metrics.ascender) / 64.0f);
  const float lineHeight = std::max(1.0f, std::ceil(static_cast<float>(metrics.height) / 64.0f));
  const float scale = 1.0f / static_cast<float>(kSide);
  float pen = 0.0f;
  float widest = 0.0f;
  float baseline = ascent;
  int lines = 1;
  size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = NextCodePoint(utf8, pos);
    if (c == '\n') {
      widest = std::max(widest, pen);
      pen = 0.0f;
      baseline += lineHeight;
      ++lines;
      continue;
    }
    FontFace* used = face;
    FT_UInt glyph = FT_Get_Char_Index(Ft(face), c);
    if (glyph == 0) {
      if (FontFace* other = catalog.FaceForCharacter(c, false, false)) {
        used = other;
        glyph = FT_Get_Char_Index(Ft(other), c);
      }
    }
    Entry* entry = nullptr;
    if (!Find(used, glyph, &entry)) {
      *full = true;
      return TextErr::Ok;
    }
    if (entry->present) {
      const float x0 = pen + entry->left;
      const float y0 = baseline - entry->top;
      quads->push_back(Quad{x0, y0, x0 + entry->width, y0 + entry->height,
                            static_cast<float>(entry->atlasX) * scale, static_cast<float>(entry->atlasY) * scale,
                            (static_cast<float>(entry->atlasX) + entry->width) * scale,
                            (static_cast<float>(entry->atlasY) + entry->height) * scale});
    }
    pen += entry->advance;
  }
  widest = std::max(widest, pen);
  if (width) *width = widest;
  if (height) *height = lineHeight * static_cast<float>(lines);
  return TextErr::Ok;
}

TextErr GlyphAtlas::Layout(std::string_view utf8, std::vector<Quad>* quads, float* width, float* height) {
  if (!quads) return TextErr::BadArgument;
  try {
    auto lock = FontCatalog::Shared().Lock();
    quads->clear();
    bool full = false;
    TextErr err = LayoutOnce(utf8, quads, width, height, &full);
    if (err == TextErr::Ok && full) {
      // Start over with only this text's glyphs.
      Clear();
      quads->clear();
      full = false;
      err = LayoutOnce(utf8, quads, width, height, &full);
      if (full) err = TextErr::TooLarge;
    }
    return err;
  } catch (const std::bad_alloc&) {
    return TextErr::OutOfMemory;
  }
}

}  // namespace hc::text
