#include "platform/movfile/ImageDescriptionWriter.h"

#include <algorithm>

#include "platform/movfile/MovByteWriter.h"

namespace hc::movfile {

MovErr ImageDescriptionWriter::Write(const ImageDescriptionFields& fields, std::vector<uint8_t>& description) {
  description.clear();
  if (fields.codecType == 0 || fields.width == 0 || fields.height == 0) return MovErr::BadArgument;
  if (fields.width > 0xFFFF || fields.height > 0xFFFF) return MovErr::SizeLimitExceeded;

  constexpr uint32_t k72Dpi = 72u << 16;
  MovByteWriter out(description);
  out.U32(kSize);
  out.U32(fields.codecType);
  for (int i = 0; i < 6; ++i) out.U8(0);  // reserved
  out.U16(0);                             // data reference index
  out.U16(0);                             // version
  out.U16(0);                             // revision level
  out.U32(0);                             // vendor
  out.U32(0);                             // temporal quality
  out.U32(0);                             // spatial quality
  out.U16(static_cast<uint16_t>(fields.width));
  out.U16(static_cast<uint16_t>(fields.height));
  out.U32(k72Dpi);
  out.U32(k72Dpi);
  out.U32(fields.dataSize);
  out.U16(1);  // frame count
  const size_t nameLength = std::min<size_t>(fields.compressorName.size(), 31);
  out.U8(static_cast<uint8_t>(nameLength));
  for (size_t i = 0; i < 31; ++i) out.U8(i < nameLength ? static_cast<uint8_t>(fields.compressorName[i]) : 0);
  out.U16(fields.depth);
  out.U16(0xFFFF);  // clutID -1: no colour table
  return MovErr::Ok;
}

}  // namespace hc::movfile
