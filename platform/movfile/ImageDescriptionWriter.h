#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// What an image description says of a compressed picture.
struct ImageDescriptionFields {
  uint32_t codecType = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t depth = 24;      // 24 colour, 32 colour with alpha, 40 grey
  uint32_t dataSize = 0;    // bytes of the compressed picture, 0 when unknown
  std::string_view compressorName;  // at most 31 bytes are kept
};

// Writes QuickTime's 86-byte image description record in big-endian order,
// as movie files store it: 72 dpi, one frame, no colour table (clutID -1).
// Reading one back is MovImageDescription::Parse.
class ImageDescriptionWriter {
 public:
  static constexpr size_t kSize = 86;

  // Fails with SizeLimitExceeded when a side does not fit the record's
  // 16-bit fields, BadArgument for a zero size or codec type.
  static MovErr Write(const ImageDescriptionFields& fields, std::vector<uint8_t>& description);
};

}  // namespace hc::movfile
