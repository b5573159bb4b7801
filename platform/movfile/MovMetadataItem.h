#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {

// One metadata item of a movie: its key, the type of its value and the value.
struct MovMetadataItem {
  // Key formats: a user-data text item keyed by its four-character type, or
  // a 'meta' item keyed by a reverse-DNS name.
  static constexpr uint32_t kUserDataKeys = MovFourCC("udta");
  static constexpr uint32_t kMetadataKeys = MovFourCC("mdta");
  // Value types: UTF-8, UTF-16 big-endian and Mac-encoded text.
  static constexpr uint32_t kUtf8 = 1;
  static constexpr uint32_t kUtf16 = 2;
  static constexpr uint32_t kMacText = 3;

  uint32_t keyFormat = 0;
  std::vector<uint8_t> key;  // the four code bytes, or the key name's bytes
  uint32_t dataType = 0;
  uint32_t locale = 0;  // 'meta' items: the locale word; text items: the language code
  std::vector<uint8_t> value;

  bool IsText() const { return dataType == kUtf8 || dataType == kUtf16 || dataType == kMacText; }
  std::string KeyText() const { return std::string(key.begin(), key.end()); }
};

}  // namespace hc::movfile
