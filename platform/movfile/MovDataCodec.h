#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/movfile/MovErr.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {

// The data codecs that compress user-data items and movie headers, chosen by
// a four-character subtype. 'zlib' (a zlib stream) is the only one; any other
// subtype answers CodecNotFound.
class MovDataCodec {
 public:
  static constexpr uint32_t kZlib = MovFourCC("zlib");
  // Largest length a caller may declare for decompressed data.
  static constexpr size_t kMaxDecompressedLength = size_t{256} << 20;

  static bool IsSupported(uint32_t subtype) { return subtype == kZlib; }

  // Upper bound of the compressed size of `length` bytes.
  static MovErr MaxCompressedSize(uint32_t subtype, size_t length, size_t& bound);
  static MovErr Compress(uint32_t subtype, std::span<const uint8_t> input, std::vector<uint8_t>& output);
  // Decompresses into exactly `declaredLength` bytes: a declared length past
  // kMaxDecompressedLength is SizeLimitExceeded, and data that does not
  // decompress to exactly that length is CodecDataCorrupt.
  static MovErr Decompress(uint32_t subtype, std::span<const uint8_t> input, size_t declaredLength,
                           std::vector<uint8_t>& output);
};

}  // namespace hc::movfile
