#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "platform/text/TextErr.h"

namespace hc::text {

struct FontFace;

// Plain text at one pixel size, drawn from a square atlas of glyph coverage
// (one byte a texel, row 0 at t = 0) that the caller uploads as a texture.
// Glyphs are rasterised once, when first laid out; when the atlas is full it
// starts over, and its generation changes whenever its texels do.
class GlyphAtlas {
 public:
  static constexpr int kSide = 512;

  // A glyph's rectangle in pixels, x rightward and y downward from the
  // text's top-left corner, and its texture coordinates in the atlas.
  struct Quad {
    float x0, y0, x1, y1;
    float s0, t0, s1, t1;
  };

  // The sans-serif face at the pixel size (clamped to 4..128).
  explicit GlyphAtlas(float pixelSize);

  // Lays the text out, one line per "\n", adding missing glyphs. TooLarge
  // when its glyphs don't fit even an emptied atlas (the quads then hold
  // those that did). *width and *height (optional) get the text's size in
  // pixels.
  TextErr Layout(std::string_view utf8, std::vector<Quad>* quads, float* width = nullptr, float* height = nullptr);

  const std::vector<uint8_t>& Texels() const { return m_texels; }
  uint64_t Generation() const { return m_generation; }
  // Glyphs rasterised so far (a measure of the atlas's work).
  uint64_t RasterisedGlyphs() const { return m_rasterised; }

 private:
  struct Entry {
    bool present = false;
    float left = 0, top = 0, width = 0, height = 0;  // pixels relative to the pen on the baseline
    float advance = 0;
    int atlasX = 0, atlasY = 0;
  };

  // The glyph's entry, rasterised into the atlas first when needed; false
  // when there is no room.
  bool Find(FontFace* face, uint32_t glyph, Entry** entry);
  void Clear();
  TextErr LayoutOnce(std::string_view utf8, std::vector<Quad>* quads, float* width, float* height, bool* full);

  float m_pixelSize;
  std::vector<uint8_t> m_texels;
  std::map<std::pair<const FontFace*, uint32_t>, Entry> m_entries;
  int m_shelfX = 0, m_shelfY = 0, m_shelfHeight = 0;
  uint64_t m_generation = 1;
  uint64_t m_rasterised = 0;
};

}  // namespace hc::text
