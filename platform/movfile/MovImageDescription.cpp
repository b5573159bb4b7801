#include "platform/movfile/MovImageDescription.h"

#include <optional>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {

MovErr MovImageDescription::Parse(std::span<const uint8_t> entry, MovImageDescription& description) {
  description = MovImageDescription();
  MovByteReader reader(entry);
  uint32_t size = reader.U32();
  description.codecType_ = reader.U32();
  reader.Skip(6 + 2 + 2 + 2 + 4 + 4 + 4);  // reserved, data ref index, version, revision, vendor, qualities
  description.width_ = reader.U16();
  description.height_ = reader.U16();
  reader.Skip(4 + 4 + 4 + 2 + 32);  // resolutions, data size, frame count, compressor name
  description.depth_ = reader.U16();
  description.clutId_ = static_cast<int16_t>(reader.U16());
  if (!reader.Ok() || size != entry.size() || size < kFixedSize) return MovErr::InvalidSampleTable;
  auto rest = entry.subspan(kFixedSize);
  MovAtomReader atoms(rest);
  for (;;) {
    std::optional<MovAtom> atom;
    // A colour table or damaged extensions end the list without failing the description.
    if (atoms.Next(atom) != MovErr::Ok || !atom) break;
    auto payload = atoms.Payload(*atom);
    description.extensions_.push_back({atom->type, std::vector<uint8_t>(payload.begin(), payload.end())});
  }
  return MovErr::Ok;
}

std::span<const uint8_t> MovImageDescription::Extension(uint32_t type) const {
  for (const auto& extension : extensions_) {
    if (extension.type == type) return extension.payload;
  }
  return {};
}

bool MovImageDescription::PixelAspect(uint32_t& horizontalSpacing, uint32_t& verticalSpacing) const {
  MovByteReader reader(Extension(MovFourCC("pasp")));
  horizontalSpacing = reader.U32();
  verticalSpacing = reader.U32();
  return reader.Ok();
}

}  // namespace hc::movfile
