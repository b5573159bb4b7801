// libFuzzer target over inline pictures: the first two bytes give the length
// of an image description, the rest is the compressed picture. As the
// inline-image source does, the description is checked, given the byte-order
// rule, sizes a buffer, opens a decompression sequence and the picture is
// decompressed into it, once at once and once on the sequence's thread.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "Source/InlineImageDescription.h"
#include "platform/playback/DecompressionSequence.h"
#include "platform/playback/ImagePixelConverter.h"

using namespace hc::playback;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  av_log_set_level(AV_LOG_QUIET);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t length = std::min<size_t>(size - 2, size_t{data[0]} << 8 | data[1]);
  std::vector<uint8_t> description(data + 2, data + 2 + length);
  const std::span<const uint8_t> picture(data + 2 + length, size - 2 - length);

  InlineImageDescription parsed;
  if (!InlineImageDescription::Parse(description, &parsed)) return 0;
  InlineImageDescription::ApplyByteOrderRule(description);
  for (uint32_t format : {uint32_t{'2' << 24 | 'v' << 16 | 'u' << 8 | 'y'}, uint32_t{32}}) {
    const int64_t rowBytes = int64_t{parsed.width} * ImagePixelConverter::BytesPerPixel(format);
    std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes) * static_cast<size_t>(parsed.height));
    const ImageBuffer buffer{pixels.data(), parsed.width, parsed.height, rowBytes, format};
    DecompressionSequence sequence;
    if (sequence.Begin(description, buffer) != PlaybackErr::Ok) return 0;
    sequence.DecompressFrame(picture);
    sequence.DecompressFrame(picture, [](const DecompressionFrameResult&) {});
    sequence.End(DecompressionSequence::EndMode::Drain);
  }
  return 0;
}
