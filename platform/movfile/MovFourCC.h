#pragma once

#include <cstdint>
#include <string>

namespace hc::movfile {

// A four-character code from its four bytes as written in files, so that
// MovFourCC("moov") and MovFourCC("\xA9nam") compare with what a reader sees.
constexpr uint32_t MovFourCC(const char (&code)[5]) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(code[3]));
}

// The code's four bytes as a string (bytes kept as they are, '\xA9' included).
inline std::string MovFourCCText(uint32_t code) {
  std::string text(4, '\0');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
  return text;
}

}  // namespace hc::movfile
