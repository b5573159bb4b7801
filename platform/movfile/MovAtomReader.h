#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/movfile/MovAtom.h"
#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// Walks the atoms that follow one another in a byte span (a container's
// payload). Sizes of 32 and 64 bits are read, size 0 runs to the end of the
// span, and fewer than 8 trailing zero bytes (the old 32-bit terminator) end
// the walk. Sizes below 8 or past the span are InvalidMovie.
class MovAtomReader {
 public:
  // baseOffset: the offset that the span's first byte has in its file, so that
  // the atoms report file offsets.
  explicit MovAtomReader(std::span<const uint8_t> bytes, uint64_t baseOffset = 0)
      : bytes_(bytes), base_(baseOffset) {}

  // The next atom, or nothing at the end of the span.
  MovErr Next(std::optional<MovAtom>& atom);

  // The payload of an atom this reader returned.
  std::span<const uint8_t> Payload(const MovAtom& atom) const;

  // Reads one header from the first bytes of `head` (8, or 16 for size 1).
  // `available` is how many bytes the atom may span from its offset; it only
  // sizes an atom of stored size 0. Sizes are not checked against it.
  static MovErr ParseHeader(std::span<const uint8_t> head, uint64_t offset, uint64_t available,
                            MovAtom& atom);

 private:
  std::span<const uint8_t> bytes_;
  uint64_t base_;
  size_t position_ = 0;
};

}  // namespace hc::movfile
