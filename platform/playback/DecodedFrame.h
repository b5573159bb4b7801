#pragma once

#include <memory>

struct AVFrame;

namespace hc::playback {

struct AVFrameDeleter {
  void operator()(AVFrame* frame) const;
};
using AVFramePtr = std::unique_ptr<AVFrame, AVFrameDeleter>;

// One decoded picture and where it lies in movie time: it is shown from
// `seconds` until `seconds + duration`.
struct DecodedFrame {
  AVFramePtr frame;
  double seconds = 0.0;
  double duration = 0.0;
};

}  // namespace hc::playback
