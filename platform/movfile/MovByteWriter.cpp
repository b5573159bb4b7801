#include "platform/movfile/MovByteWriter.h"

namespace hc::movfile {

void MovByteWriter::U16(uint16_t value) {
  out_.push_back(static_cast<uint8_t>(value >> 8));
  out_.push_back(static_cast<uint8_t>(value));
}

void MovByteWriter::U32(uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out_.push_back(static_cast<uint8_t>(value >> shift));
}

void MovByteWriter::U64(uint64_t value) {
  for (int shift = 56; shift >= 0; shift -= 8) out_.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t MovByteWriter::HeaderSizeFor(uint64_t payloadSize) {
  return payloadSize + 8 <= UINT32_MAX ? 8 : 16;
}

void MovByteWriter::AtomHeader(uint32_t type, uint64_t totalSize) {
  if (totalSize <= UINT32_MAX) {
    U32(static_cast<uint32_t>(totalSize));
    U32(type);
  } else {
    U32(1);
    U32(type);
    U64(totalSize);
  }
}

void MovByteWriter::PatchU32(size_t position, uint32_t value) {
  for (int i = 0; i < 4; ++i) out_[position + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

}  // namespace hc::movfile
