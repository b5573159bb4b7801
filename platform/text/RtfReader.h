#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/text/StyledText.h"
#include "platform/text/TextErr.h"

namespace hc::text {

// Reads an RTF document into styled runs: groups, the font and colour
// tables, bold, italic and underline, font size, text colour, paragraph
// alignment, paragraph and line breaks, tabs, the "\'hh" escapes (Windows
// 1252 or Mac Roman) and "\uN" characters with their fallbacks skipped.
// Destinations it doesn't show (style sheets, document information,
// pictures, headers, field instructions, anything marked "\*") are skipped
// whole.
//
// The bytes are untrusted: the reader never reads past them, bounds the
// nesting of groups, the tables and the numbers, and answers MalformedRtf
// instead of a partial result.
class RtfReader {
 public:
  static constexpr size_t kMaxBytes = 16u << 20;
  // Deepest group nesting; the document's outer group is level 1.
  static constexpr int kMaxDepth = 64;
  // Most entries a font or colour table keeps.
  static constexpr size_t kMaxTableEntries = 4096;
  // Longest control word (letters) and parameter (digits) the format allows.
  static constexpr size_t kMaxWordLength = 32;
  static constexpr size_t kMaxParameterDigits = 10;

  // On failure *out is unchanged: BadArgument for a null out, MalformedRtf
  // for bytes that don't start an RTF group ("{\rtf"), a broken control word
  // or escape, a group closed that was never opened, nesting deeper than
  // kMaxDepth, binary data running past the end, or more than kMaxBytes;
  // OutOfMemory when the result can't be held. Groups still open at the end
  // are closed there.
  static TextErr Read(std::span<const uint8_t> bytes, StyledText* out);
};

}  // namespace hc::text
