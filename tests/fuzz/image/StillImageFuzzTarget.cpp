// libFuzzer target over the still-image code: the bytes are opened as an
// image file and drawn, searched for an EXIF maker note as each image type,
// decompressed as a frame of each still codec, and read as an image
// description that opens a decompression sequence.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "platform/playback/DecompressionSequence.h"
#include "platform/playback/ExifMakerNoteReader.h"
#include "platform/playback/GraphicsImporter.h"
#include "platform/movfile/ImageDescriptionWriter.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;
using namespace hc::playback;

namespace {

constexpr uint32_t kStillCodecs[] = {MovFourCC("png "), MovFourCC("jpeg"), MovFourCC("tiff"), MovFourCC("WRLE")};

void DrawInto(GraphicsImporter& importer, int width, int height, uint32_t pixelFormat) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * ImagePixelConverter::BytesPerPixel(pixelFormat));
  ImageBuffer buffer{pixels.data(), width, height,
                     static_cast<int64_t>(width) * ImagePixelConverter::BytesPerPixel(pixelFormat), pixelFormat};
  importer.Draw(buffer);
}

void UseAsImageFile(std::span<const uint8_t> bytes) {
  GraphicsImporter importer;
  if (importer.OpenBytes(bytes) != PlaybackErr::Ok) return;
  DrawInto(importer, 23, 15, MovFourCC("2vuy"));
  DrawInto(importer, 8, 8, 32);
  std::vector<uint8_t> note;
  importer.ExifMakerNote(note);
}

void UseAsFrame(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> pixels(16 * 16 * 4);
  ImageBuffer buffer{pixels.data(), 16, 16, 64, MovFourCC("BGRA")};
  for (uint32_t codecType : kStillCodecs) {
    std::vector<uint8_t> note;
    ExifMakerNoteReader::Read(codecType, bytes, note);
    std::vector<uint8_t> description;
    ImageDescriptionWriter::Write({codecType, 16, 16, 24, 0, ""}, description);
    DecompressionSequence sequence;
    if (sequence.Begin(description, buffer) == PlaybackErr::Ok) sequence.DecompressFrame(bytes);
  }
}

// The bytes as a description (an 'avc1' one brings its 'avcC'), then a frame
// made of what follows the description's own size.
void UseAsDescription(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> pixels(8 * 8 * 4);
  ImageBuffer buffer{pixels.data(), 8, 8, 32, 32};
  const size_t split = bytes.size() / 2;
  DecompressionSequence sequence;
  if (sequence.Begin(bytes.first(split), buffer) == PlaybackErr::Ok) sequence.DecompressFrame(bytes.subspan(split));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  av_log_set_level(AV_LOG_QUIET);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  UseAsImageFile(bytes);
  UseAsFrame(bytes);
  UseAsDescription(bytes);
  return 0;
}
