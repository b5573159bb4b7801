#pragma once

#include <cstdint>
#include <functional>

#include "platform/movfile/MovAtomNode.h"
#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// Rewrites the chunk offsets ('stco', 'co64') of every track of a movie
// header, for a file whose media data moved. A 32-bit table becomes a 64-bit
// one when a new offset no longer fits.
class MovChunkOffsets {
 public:
  // Gives the new offset of an old one; false when the old offset lies
  // outside the media data that moved.
  using Mapper = std::function<bool(uint64_t oldOffset, uint64_t& newOffset)>;

  static MovErr Remap(MovAtomNode& moov, const Mapper& map);
};

}  // namespace hc::movfile
