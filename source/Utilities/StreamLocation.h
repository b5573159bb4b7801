#pragma once

#include <cstdint>

#include "Utilities/ParseLocation.h"

// A byte offset in a binary stream.
class StreamLocation : public ParseLocation {
 public:
  explicit StreamLocation(uint64_t offset) : m_offset(offset) {}
  // "offset %u in data stream".
  PWStringRef CreateString() const override;
  uint64_t GetOffset() const { return m_offset; }

 private:
  uint64_t m_offset;
};
