#pragma once

#include <cstdint>

namespace hc::playback {

// What a movie says about one of its tracks.
struct MovieTrackInfo {
  uint32_t trackId = 0;
  bool enabled = true;
  bool visual = false;  // shows pictures
  bool sound = false;
  uint32_t handlerType = 0;  // 'vide', 'soun', ...
  uint32_t mediaTimeScale = 0;
  int64_t duration = 0;  // in the movie's time scale
  int64_t offset = 0;    // movie time before the track starts
  uint64_t sampleCount = 0;
  uint32_t codecType = 0;  // of the first sample description, when known
  int encodedWidth = 0;    // pixels of the coded picture
  int encodedHeight = 0;
  double width = 0.0;  // the track header's dimensions
  double height = 0.0;
  double cleanWidth = 0.0;  // clean aperture; the track dimensions when none is stored
  double cleanHeight = 0.0;
  uint32_t pixelAspectH = 1;  // pixel spacing ('pasp'): horizontal, vertical
  uint32_t pixelAspectV = 1;
};

}  // namespace hc::playback
