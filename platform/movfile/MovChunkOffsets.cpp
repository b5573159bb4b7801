#include "platform/movfile/MovChunkOffsets.h"

#include <vector>

#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {
namespace {

MovErr RemapTable(MovAtomNode& stbl, const MovChunkOffsets::Mapper& map) {
  MovAtomNode* table = stbl.FindChild(MovFourCC("co64"));
  bool wide = table != nullptr;
  if (!table) table = stbl.FindChild(MovFourCC("stco"));
  if (!table) return MovErr::Ok;

  MovByteReader reader(table->Payload());
  uint32_t versionAndFlags = reader.U32();
  uint32_t count = reader.U32();
  if (!reader.Ok() || count > reader.Remaining() / (wide ? 8 : 4)) return MovErr::InvalidSampleTable;
  std::vector<uint64_t> offsets(count);
  bool needsWide = wide;
  for (uint64_t& offset : offsets) {
    uint64_t old = wide ? reader.U64() : reader.U32();
    if (!map(old, offset)) return MovErr::InvalidSampleTable;
    needsWide = needsWide || offset > UINT32_MAX;
  }

  std::vector<uint8_t> payload;
  MovByteWriter writer(payload);
  writer.U32(versionAndFlags);
  writer.U32(count);
  for (uint64_t offset : offsets) {
    if (needsWide) {
      writer.U64(offset);
    } else {
      writer.U32(static_cast<uint32_t>(offset));
    }
  }
  if (needsWide && !wide) {
    *table = MovAtomNode::Leaf(MovFourCC("co64"), payload);
  } else {
    table->SetPayload(payload);
  }
  return MovErr::Ok;
}

}  // namespace

MovErr MovChunkOffsets::Remap(MovAtomNode& moov, const Mapper& map) {
  for (auto& trak : moov.Children()) {
    if (trak.Type() != MovFourCC("trak")) continue;
    MovAtomNode* stbl = trak.FindPath({MovFourCC("mdia"), MovFourCC("minf"), MovFourCC("stbl")});
    if (!stbl) continue;
    MovErr err = RemapTable(*stbl, map);
    if (err != MovErr::Ok) return err;
  }
  return MovErr::Ok;
}

}  // namespace hc::movfile
