#include "platform/movfile/MovAtomReader.h"

#include <algorithm>

#include "platform/movfile/MovByteReader.h"

namespace hc::movfile {

MovErr MovAtomReader::ParseHeader(std::span<const uint8_t> head, uint64_t offset, uint64_t available,
                                  MovAtom& atom) {
  MovByteReader reader(head);
  uint32_t size32 = reader.U32();
  atom.type = reader.U32();
  atom.offset = offset;
  atom.headerSize = 8;
  atom.extendsToEnd = false;
  if (!reader.Ok()) return MovErr::InvalidMovie;
  if (size32 == 1) {
    atom.size = reader.U64();
    atom.headerSize = 16;
    if (!reader.Ok() || atom.size < 16) return MovErr::InvalidMovie;
  } else if (size32 == 0) {
    if (available < 8) return MovErr::InvalidMovie;
    atom.size = available;
    atom.extendsToEnd = true;
  } else if (size32 < 8) {
    return MovErr::InvalidMovie;
  } else {
    atom.size = size32;
  }
  return MovErr::Ok;
}

MovErr MovAtomReader::Next(std::optional<MovAtom>& atom) {
  atom.reset();
  size_t remaining = bytes_.size() - position_;
  if (remaining == 0) return MovErr::Ok;
  auto rest = bytes_.subspan(position_);
  if (remaining < 8) {
    if (std::all_of(rest.begin(), rest.end(), [](uint8_t b) { return b == 0; })) {
      position_ = bytes_.size();
      return MovErr::Ok;
    }
    return MovErr::InvalidMovie;
  }
  MovAtom found;
  MovErr err = ParseHeader(rest.first(std::min<size_t>(16, remaining)), base_ + position_, remaining, found);
  if (err != MovErr::Ok) return err;
  if (found.size > remaining) return MovErr::InvalidMovie;
  position_ += static_cast<size_t>(found.size);
  atom = found;
  return MovErr::Ok;
}

std::span<const uint8_t> MovAtomReader::Payload(const MovAtom& atom) const {
  size_t start = static_cast<size_t>(atom.offset - base_) + atom.headerSize;
  return bytes_.subspan(start, static_cast<size_t>(atom.PayloadSize()));
}

}  // namespace hc::movfile
