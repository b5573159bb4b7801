#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace hc::movfile {

// Big-endian cursor over a byte span. A read past the end fails sticky: it
// yields 0, leaves the cursor where it was and clears Ok(), so a parser may
// read a whole record and check once.
class MovByteReader {
 public:
  explicit MovByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  uint64_t U64();
  int32_t I32() { return static_cast<int32_t>(U32()); }
  int64_t I64() { return static_cast<int64_t>(U64()); }
  // The next count bytes (empty and a failure when fewer remain).
  std::span<const uint8_t> Bytes(size_t count);
  void Skip(size_t count) { Bytes(count); }

  size_t Position() const { return position_; }
  size_t Remaining() const { return bytes_.size() - position_; }
  bool Ok() const { return ok_; }

 private:
  bool Take(size_t count);

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace hc::movfile
