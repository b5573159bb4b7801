#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace hc::movfile {

// Appends big-endian values to a byte vector it does not own.
class MovByteWriter {
 public:
  explicit MovByteWriter(std::vector<uint8_t>& out) : out_(out) {}

  void U8(uint8_t value) { out_.push_back(value); }
  void U16(uint16_t value);
  void U32(uint32_t value);
  void U64(uint64_t value);
  void Bytes(std::span<const uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

  // Writes an atom header for an atom of totalSize bytes: 8 bytes when the
  // size fits 32 bits, else the 16-byte form (size 1, then 64-bit size).
  void AtomHeader(uint32_t type, uint64_t totalSize);
  static uint32_t HeaderSizeFor(uint64_t payloadSize);

  // Overwrites 4 bytes at a position already written.
  void PatchU32(size_t position, uint32_t value);

  size_t Size() const { return out_.size(); }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace hc::movfile
