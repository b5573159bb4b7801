// libFuzzer target over still-image panorama metadata: the bytes as a maker
// note's text, and as a picture whose EXIF maker note is read and parsed as
// the still-image source does.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "Source/PanoramaMakerNote.h"
#include "platform/playback/GraphicsImporter.h"

namespace {

void Check(const PanoramaMakerNote& note) {
  if (note.projection.size() > 4) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  av_log_set_level(AV_LOG_QUIET);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  PanoramaMakerNote note;
  if (PanoramaMakerNote::Parse(bytes, &note)) Check(note);
  PanoramaMakerNote::ReadNumber(std::string_view(reinterpret_cast<const char*>(data), size));

  hc::playback::GraphicsImporter importer;
  if (importer.OpenBytes(bytes) != hc::playback::PlaybackErr::Ok) return 0;
  std::vector<uint8_t> stored;
  if (importer.ExifMakerNote(stored) == hc::playback::PlaybackErr::Ok && PanoramaMakerNote::Parse(stored, &note)) {
    Check(note);
  }
  return 0;
}
