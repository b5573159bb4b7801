#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hc::text {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the code point as UTF-8; surrogates and values beyond U+10FFFF
// become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// Decodes the code point starting at `pos` and moves `pos` past it; a
// malformed or truncated sequence yields U+FFFD and moves one byte.
char32_t NextCodePoint(std::string_view text, size_t& pos);

}  // namespace hc::text
