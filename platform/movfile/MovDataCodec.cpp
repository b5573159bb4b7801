#include "platform/movfile/MovDataCodec.h"

#include <zlib.h>

#include <limits>
#include <new>

namespace hc::movfile {

MovErr MovDataCodec::MaxCompressedSize(uint32_t subtype, size_t length, size_t& bound) {
  if (!IsSupported(subtype)) return MovErr::CodecNotFound;
  if (length > std::numeric_limits<uLong>::max() / 2) return MovErr::SizeLimitExceeded;
  bound = compressBound(static_cast<uLong>(length));
  return MovErr::Ok;
}

MovErr MovDataCodec::Compress(uint32_t subtype, std::span<const uint8_t> input, std::vector<uint8_t>& output) {
  size_t bound = 0;
  MovErr err = MaxCompressedSize(subtype, input.size(), bound);
  if (err != MovErr::Ok) return err;
  try {
    output.resize(bound);
  } catch (const std::bad_alloc&) {
    return MovErr::OutOfMemory;
  }
  uLongf produced = static_cast<uLongf>(bound);
  int status = compress2(output.data(), &produced, input.data(), static_cast<uLong>(input.size()),
                         Z_BEST_COMPRESSION);
  if (status == Z_MEM_ERROR) return MovErr::OutOfMemory;
  if (status != Z_OK) return MovErr::CodecDataCorrupt;
  output.resize(produced);
  return MovErr::Ok;
}

MovErr MovDataCodec::Decompress(uint32_t subtype, std::span<const uint8_t> input, size_t declaredLength,
                                std::vector<uint8_t>& output) {
  if (!IsSupported(subtype)) return MovErr::CodecNotFound;
  if (declaredLength > kMaxDecompressedLength) return MovErr::SizeLimitExceeded;
  // zlib expands at most about 1032 to 1: a longer declared length is a lie,
  // refused before anything is allocated for it.
  if (declaredLength / 1032 > input.size() + 64) return MovErr::CodecDataCorrupt;
  try {
    output.assign(declaredLength, 0);
  } catch (const std::bad_alloc&) {
    return MovErr::OutOfMemory;
  }
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return MovErr::OutOfMemory;
  // Feed and drain in steps small enough for zlib's 32-bit counters.
  constexpr size_t kStep = size_t{1} << 30;
  size_t inPos = 0;
  size_t outPos = 0;
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_in = const_cast<Bytef*>(input.data() + inPos);
    stream.avail_in = static_cast<uInt>(std::min(kStep, input.size() - inPos));
    uint8_t spare = 0;  // room to notice data that runs past the declared length
    bool full = outPos == declaredLength;
    stream.next_out = full ? &spare : output.data() + outPos;
    stream.avail_out = full ? 1u : static_cast<uInt>(std::min(kStep, declaredLength - outPos));
    uInt inBefore = stream.avail_in;
    uInt outBefore = stream.avail_out;
    status = inflate(&stream, Z_NO_FLUSH);
    inPos += inBefore - stream.avail_in;
    size_t produced = outBefore - stream.avail_out;
    if (full && produced > 0) status = Z_DATA_ERROR;
    if (!full) outPos += produced;
    if (status == Z_OK && produced == 0 && inBefore == stream.avail_in) status = Z_BUF_ERROR;
  }
  inflateEnd(&stream);
  if (status == Z_MEM_ERROR) return MovErr::OutOfMemory;
  if (status != Z_STREAM_END || outPos != declaredLength) {
    output.clear();
    return MovErr::CodecDataCorrupt;
  }
  return MovErr::Ok;
}

}  // namespace hc::movfile
