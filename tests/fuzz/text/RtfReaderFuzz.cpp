// Feeds arbitrary bytes to the RTF reader. Whatever it accepts must hold
// only runs with text, in sizes the reader allows, as valid UTF-8.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/text/RtfReader.h"
#include "platform/text/Utf8.h"

using hc::text::RtfReader;
using hc::text::StyledText;
using hc::text::TextErr;

namespace {

bool IsValidUtf8(const std::string& text) {
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t start = pos;
    const char32_t c = hc::text::NextCodePoint(text, pos);
    // U+FFFD from a malformed sequence moves one byte; a real one three.
    if (c == hc::text::kReplacementCharacter && pos - start != 3) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StyledText text;
  if (RtfReader::Read(std::span<const uint8_t>(data, size), &text) != TextErr::Ok) return 0;
  if (text.paragraphs.size() > size) std::abort();
  for (const auto& paragraph : text.paragraphs) {
    for (const auto& run : paragraph.runs) {
      if (run.text.empty() || !IsValidUtf8(run.text)) std::abort();
      if (!(run.style.sizePoints >= 1.0f && run.style.sizePoints <= 1000.0f)) std::abort();
    }
  }
  return 0;
}
