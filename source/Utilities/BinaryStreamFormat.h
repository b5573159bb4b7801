#pragma once

#include <cstddef>
#include <cstdint>

// The tags of the binary object stream and the sizes of their tokens. All
// numbers in the stream are big-endian; floating point is IEEE 754.
namespace BinaryStreamFormat {

constexpr char kSignature[4] = {'K', 's', 'H', 'c'};

enum Tag : uint8_t {
  kBeginProperty = 1,  // + string token: the property's name
  kBeginObject = 2,    // + string token: the class name
  kEndObject = 3,      // ends the object and its property
  kInt = 4,            // signed 32-bit
  kUInt = 5,           // unsigned 32-bit (also the version token)
  kString = 6,         // unsigned 32-bit byte count, then that many bytes of UTF-8
  kBool = 7,           // one byte, 1 or 0
  kFloat = 8,          // single
  kPoint = 9,          // x, y singles
  kSize = 10,          // w, h singles
  kRect = 11,          // x, y, w, h singles
  kColor = 12,         // r, g, b, a singles
  kDouble = 13,        // double
  kInt64 = 14,         // signed 64-bit
};

// The whole token of a fixed-size value tag, the tag included; 0 for the
// other tags.
constexpr size_t FixedTokenSize(uint8_t tag) {
  switch (tag) {
    case kInt:
    case kUInt:
    case kFloat: return 5;
    case kBool: return 2;
    case kPoint:
    case kSize:
    case kDouble:
    case kInt64: return 9;
    case kRect:
    case kColor: return 17;
    default: return 0;
  }
}

// The tag and the byte count of a string token.
constexpr size_t kStringHeaderSize = 5;

}  // namespace BinaryStreamFormat
