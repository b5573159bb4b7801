#include "Source/PanoramaMakerNote.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

constexpr std::string_view kMarker = "<lumisfera version=\"3\">";
constexpr std::string_view kValue = "value=";

// The value of a quoted field name: what follows the first value= after the
// name's first appearance, less one character. False when either is missing.
bool FindValue(std::string_view text, std::string_view quotedName, std::string_view* value) {
  const size_t name = text.find(quotedName);
  if (name == std::string_view::npos) return false;
  const size_t marker = text.find(kValue, name + quotedName.size());
  if (marker == std::string_view::npos) return false;
  const size_t start = std::min(text.size(), marker + kValue.size() + 1);
  *value = text.substr(start);
  return true;
}

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

float PanoramaMakerNote::ReadNumber(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && IsCSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  // A second sign is no number: from_chars would take "-" after "+".
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) return 0.0f;
  float value = 0.0f;
  const char* first = text.data() + at;
  const std::from_chars_result result = std::from_chars(first, text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large a number reads as infinity, too small a one as zero, as atof does.
    std::string_view digits(first, static_cast<size_t>(result.ptr - first));
    const size_t exponent = digits.find_first_of("eE");
    const bool tiny = exponent != std::string_view::npos && exponent + 1 < digits.size() && digits[exponent + 1] == '-';
    value = tiny ? 0.0f : HUGE_VALF;
  } else if (result.ec != std::errc()) {
    return 0.0f;
  }
  return negative ? -value : value;
}

bool PanoramaMakerNote::Parse(std::span<const uint8_t> note, PanoramaMakerNote* out) {
  std::string_view text(reinterpret_cast<const char*>(note.data()), note.size());
  text = text.substr(0, text.find('\0'));
  const size_t marker = text.find(kMarker);
  if (marker == std::string_view::npos) return false;
  text = text.substr(marker);

  std::string_view projection, panMin, panMax, tiltMin, tiltMax;
  if (!FindValue(text, "\"Projection\"", &projection) || !FindValue(text, "\"PanMin\"", &panMin) ||
      !FindValue(text, "\"PanMax\"", &panMax) || !FindValue(text, "\"TiltMin\"", &tiltMin) ||
      !FindValue(text, "\"TiltMax\"", &tiltMax)) {
    return false;
  }
  out->projection = std::string(projection.substr(0, 4));
  out->tiltMinDeg = ReadNumber(tiltMin);
  out->tiltMaxDeg = ReadNumber(tiltMax);
  return true;
}
