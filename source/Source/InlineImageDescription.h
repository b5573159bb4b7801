#pragma once

#include <cstdint>
#include <span>

// The big-endian image description that inline pictures and compressed
// frames come with, checked before anything is sized from it: the 86-byte
// record whose size field says exactly how long the description is, its
// extensions well formed, and a picture within the image limits.
struct InlineImageDescription {
  static constexpr size_t kFixedSize = 86;
  static constexpr size_t kClutIdOffset = 84;

  uint32_t codecType = 0;
  int32_t width = 0;
  int32_t height = 0;

  // False for a description that is short, misstates its size, has broken
  // extensions or a picture past the limits.
  static bool Parse(std::span<const uint8_t> description, InlineImageDescription* out);
  // The one rule of converting the record between big-endian and host order
  // (the record stays big-endian here): an 86-byte description whose clutID
  // is 0 gets clutID -1.
  static void ApplyByteOrderRule(std::span<uint8_t> description);
};
