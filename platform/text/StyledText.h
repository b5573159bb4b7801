#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hc::text {

// A colour of 8-bit components, alpha not premultiplied.
struct Rgba8 {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 255;
  bool operator==(const Rgba8&) const = default;
};

enum class ParagraphAlignment { Left, Right, Center, Justified };

// The generic family a document gives with a font, used when the named font
// is missing.
enum class FontKind { Any, Serif, Sans, Mono, Script, Decorative };

// How one run of characters looks. Sizes are in points; no colour means the
// drawer's default colour (a document's "auto" colour).
struct TextStyle {
  std::string fontName;
  FontKind fontKind = FontKind::Any;
  float sizePoints = 12.0f;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  std::optional<Rgba8> color;
  bool operator==(const TextStyle&) const = default;
};

// Characters of one style, UTF-8; "\n" breaks the line, "\t" moves to the
// next tab stop.
struct TextRun {
  std::string text;
  TextStyle style;
};

// A paragraph: its runs in order, its alignment, and the style in force at
// its end (which gives an empty paragraph its height).
struct TextParagraph {
  ParagraphAlignment alignment = ParagraphAlignment::Left;
  std::vector<TextRun> runs;
  TextStyle endStyle;
};

struct StyledText {
  std::vector<TextParagraph> paragraphs;
  // Distance between default tab stops, points.
  float tabIntervalPoints = 36.0f;

  // The characters of every paragraph, paragraphs separated by "\n".
  std::string PlainText() const;
};

}  // namespace hc::text
