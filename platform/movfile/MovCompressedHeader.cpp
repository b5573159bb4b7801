#include "platform/movfile/MovCompressedHeader.h"

#include <optional>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovDataCodec.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {
namespace {

std::span<const uint8_t> FindChild(std::span<const uint8_t> payload, uint32_t type) {
  MovAtomReader reader(payload);
  for (;;) {
    std::optional<MovAtom> atom;
    if (reader.Next(atom) != MovErr::Ok || !atom) return {};
    if (atom->type == type) return reader.Payload(*atom);
  }
}

}  // namespace

bool MovCompressedHeader::IsCompressed(std::span<const uint8_t> moovPayload) {
  MovAtomReader reader(moovPayload);
  for (;;) {
    std::optional<MovAtom> atom;
    if (reader.Next(atom) != MovErr::Ok || !atom) return false;
    if (atom->type == MovFourCC("cmov")) return true;
  }
}

MovErr MovCompressedHeader::Expand(std::span<const uint8_t> moovPayload, std::vector<uint8_t>& moovAtom) {
  auto cmov = FindChild(moovPayload, MovFourCC("cmov"));
  MovByteReader codec(FindChild(cmov, MovFourCC("dcom")));
  uint32_t subtype = codec.U32();
  MovByteReader data(FindChild(cmov, MovFourCC("cmvd")));
  uint32_t length = data.U32();
  if (!codec.Ok() || !data.Ok()) return MovErr::InvalidMovie;
  if (length > kMaxExpandedSize) return MovErr::SizeLimitExceeded;
  MovErr err = MovDataCodec::Decompress(subtype, data.Bytes(data.Remaining()), length, moovAtom);
  if (err != MovErr::Ok) return err;
  MovAtom inner;
  err = MovAtomReader::ParseHeader(std::span<const uint8_t>(moovAtom).first(std::min<size_t>(16, moovAtom.size())),
                                   0, moovAtom.size(), inner);
  if (err != MovErr::Ok || inner.type != MovFourCC("moov") || inner.size != moovAtom.size()) {
    return MovErr::InvalidMovie;
  }
  // A compressed header inside a compressed header is not a movie anyone writes.
  if (IsCompressed(std::span<const uint8_t>(moovAtom).subspan(inner.headerSize))) return MovErr::InvalidMovie;
  return MovErr::Ok;
}

MovErr MovCompressedHeader::Compress(std::span<const uint8_t> moovAtom, std::vector<uint8_t>& compressedMoovAtom) {
  if (moovAtom.size() > UINT32_MAX) return MovErr::SizeLimitExceeded;
  std::vector<uint8_t> packed;
  MovErr err = MovDataCodec::Compress(MovDataCodec::kZlib, moovAtom, packed);
  if (err != MovErr::Ok) return err;
  uint64_t cmvdSize = 8 + 4 + packed.size();
  uint64_t cmovSize = 8 + 12 + cmvdSize;
  compressedMoovAtom.clear();
  MovByteWriter writer(compressedMoovAtom);
  writer.AtomHeader(MovFourCC("moov"), 8 + cmovSize);
  writer.AtomHeader(MovFourCC("cmov"), cmovSize);
  writer.AtomHeader(MovFourCC("dcom"), 12);
  writer.U32(MovDataCodec::kZlib);
  writer.AtomHeader(MovFourCC("cmvd"), cmvdSize);
  writer.U32(static_cast<uint32_t>(moovAtom.size()));
  writer.Bytes(packed);
  return MovErr::Ok;
}

}  // namespace hc::movfile
