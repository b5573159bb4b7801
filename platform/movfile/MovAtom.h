#pragma once

#include <cstdint>

namespace hc::movfile {

// Where one atom lies: its type, the offset of its header (in the file, or in
// the buffer it was read from), its whole size and the size of its header
// (8, or 16 for the 64-bit form).
struct MovAtom {
  uint32_t type = 0;
  uint64_t offset = 0;
  uint64_t size = 0;
  uint32_t headerSize = 8;
  bool extendsToEnd = false;  // stored size 0: the atom runs to the end of its parent

  uint64_t PayloadOffset() const { return offset + headerSize; }
  uint64_t PayloadSize() const { return size - headerSize; }
  uint64_t End() const { return offset + size; }
};

}  // namespace hc::movfile
