#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/playback/PlaybackErr.h"

namespace hc::playback {

// The compressed bytes of one picture with their big-endian image
// description, as presentations carry images inline.
struct InlineImage {
  std::vector<uint8_t> description;
  std::vector<uint8_t> data;
};

// Turns a file into inline image data: a still image (PNG, JPEG, TIFF, BMP)
// gives its own bytes and a synthesised description; a movie gives the first
// sample of its first visual track and that sample's description.
class InlineImageData {
 public:
  // InvalidTrack when a movie has no visual track or it has no samples;
  // the movie and image layers' codes for files they cannot read.
  static PlaybackErr ReadFirstPicture(const std::string& path, InlineImage& image);
};

}  // namespace hc::playback
