#pragma once

#include <vector>

namespace hc::playback {

// Interleaved 32-bit float samples starting at `seconds` of movie time.
struct AudioChunk {
  double seconds = 0.0;
  std::vector<float> samples;
};

}  // namespace hc::playback
