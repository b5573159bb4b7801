#pragma once

#include <cstdint>

// Two change counters handed out together: holders keep a copy and compare
// it whole to learn whether anything that shapes a mapping has changed.
// Never reset; both wrap as unsigned counters.
struct UpdateSeed {
  uint32_t first = 1;
  uint32_t second = 1;

  // The pair as one 8-byte stamp, first counter in the low word.
  uint64_t AsStamp() const { return static_cast<uint64_t>(second) << 32 | first; }
  friend bool operator==(const UpdateSeed&, const UpdateSeed&) = default;
};
