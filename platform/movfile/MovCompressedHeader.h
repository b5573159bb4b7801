#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// A compressed movie header: a 'moov' whose 'cmov' holds the codec subtype
// ('dcom') and the compressed bytes of a whole inner 'moov' atom ('cmvd',
// led by their uncompressed length).
class MovCompressedHeader {
 public:
  // Largest expanded header accepted (the same as for a plain header).
  static constexpr uint32_t kMaxExpandedSize = uint32_t{128} << 20;

  // Whether a 'moov' payload is a compressed header.
  static bool IsCompressed(std::span<const uint8_t> moovPayload);
  // The inner 'moov' atom, header included.
  static MovErr Expand(std::span<const uint8_t> moovPayload, std::vector<uint8_t>& moovAtom);
  // Wraps a whole 'moov' atom into a compressed one ('zlib').
  static MovErr Compress(std::span<const uint8_t> moovAtom, std::vector<uint8_t>& compressedMoovAtom);
};

}  // namespace hc::movfile
