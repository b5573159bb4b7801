#include "platform/movfile/MovByteReader.h"

namespace hc::movfile {

bool MovByteReader::Take(size_t count) {
  if (!ok_ || count > Remaining()) {
    ok_ = false;
    return false;
  }
  return true;
}

uint8_t MovByteReader::U8() {
  if (!Take(1)) return 0;
  return bytes_[position_++];
}

uint16_t MovByteReader::U16() {
  if (!Take(2)) return 0;
  uint16_t value = static_cast<uint16_t>((bytes_[position_] << 8) | bytes_[position_ + 1]);
  position_ += 2;
  return value;
}

uint32_t MovByteReader::U32() {
  if (!Take(4)) return 0;
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = (value << 8) | bytes_[position_ + i];
  position_ += 4;
  return value;
}

uint64_t MovByteReader::U64() {
  if (!Take(8)) return 0;
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value = (value << 8) | bytes_[position_ + i];
  position_ += 8;
  return value;
}

std::span<const uint8_t> MovByteReader::Bytes(size_t count) {
  if (!Take(count)) return {};
  auto part = bytes_.subspan(position_, count);
  position_ += count;
  return part;
}

}  // namespace hc::movfile
