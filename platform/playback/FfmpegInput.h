#pragma once

#include <atomic>
#include <memory>

#include "platform/playback/DataReference.h"
#include "platform/playback/PlaybackErr.h"

struct AVFormatContext;
struct AVStream;

namespace hc::playback {

// One demuxer opened on a data reference with FFmpeg. Files may only be read
// through the file protocol and URLs only over http(s), and only movie and
// common audio/video container formats are probed, so a crafted file cannot
// make the demuxer reach other files or hosts. Network reads give up after a
// time-out; Abort makes a blocked read return at once.
class FfmpegInput {
 public:
  static constexpr int kNetworkTimeoutSeconds = 15;
  static constexpr int kMaxStreams = 64;

  static PlaybackErr Open(const DataReference& reference, std::unique_ptr<FfmpegInput>* out);
  FfmpegInput(const FfmpegInput&) = delete;
  FfmpegInput& operator=(const FfmpegInput&) = delete;
  ~FfmpegInput();

  AVFormatContext* Format() const { return format_; }
  // The stream of a movie track id (MOV/MP4 track ids), or, for other
  // containers, of the stream index + 1; null when there is none.
  AVStream* StreamForTrack(uint32_t trackId) const;
  void Abort() { aborted_ = true; }

  // An FFmpeg error code in this layer's terms.
  static PlaybackErr ErrFromAv(int averror);

 private:
  FfmpegInput() = default;
  static int InterruptCallback(void* opaque);

  AVFormatContext* format_ = nullptr;
  std::atomic<bool> aborted_{false};
};

}  // namespace hc::playback
