#pragma once

#include <cstdint>
#include <memory>

#include "platform/playback/DataReference.h"
#include "platform/playback/DecodedFrame.h"
#include "platform/playback/FfmpegInput.h"
#include "platform/playback/PlaybackErr.h"

struct AVCodecContext;
struct AVPacket;
struct AVStream;

namespace hc::playback {

// Decodes the pictures of one video track in presentation order, with
// frame-exact seeking. Each decoder has a demuxer of its own, so decoders of
// one movie never share state. One thread at a time.
class VideoDecoder {
 public:
  // Packets read without a picture coming out before the stream counts as damaged.
  static constexpr int kMaxPacketsPerFrame = 4096;

  // trackId 0: the first video track. threads: the decoder's threads (0: one per processor).
  static PlaybackErr Open(const DataReference& reference, uint32_t trackId, std::unique_ptr<VideoDecoder>* out,
                          int threads = 0);
  VideoDecoder(const VideoDecoder&) = delete;
  VideoDecoder& operator=(const VideoDecoder&) = delete;
  ~VideoDecoder();

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Nominal length of one frame in seconds (from the frame rate; 1/25 when unknown).
  double FrameDuration() const { return frameDuration_; }
  double StreamDuration() const { return streamDuration_; }
  // How long opening the file and reading its stream facts took.
  double InputOpenSeconds() const { return inputOpenSeconds_; }

  // The next ReadFrame gives the frame shown at `seconds` (the first frame
  // when seconds lies before it).
  PlaybackErr SeekTo(double seconds);
  // The next frame in presentation order; EndOfMedia after the last one.
  PlaybackErr ReadFrame(DecodedFrame& out);
  void Abort() { input_->Abort(); }

 private:
  VideoDecoder() = default;
  PlaybackErr DecodeNext(DecodedFrame& out);
  PlaybackErr SendNextPacket();
  PlaybackErr SeekDemuxer(double seconds);
  double SecondsOf(int64_t timestamp) const;

  std::unique_ptr<FfmpegInput> input_;
  AVStream* stream_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  double frameDuration_ = 1.0 / 25;
  double streamDuration_ = 0.0;
  double inputOpenSeconds_ = 0.0;
  bool inputEnded_ = false;
  double seekTarget_ = -1.0;  // below 0: no seek pending
  int seekAttempt_ = 0;
  DecodedFrame held_;         // a frame read ahead while seeking
  bool hasHeld_ = false;
  double lastSeconds_ = -1e300;
};

}  // namespace hc::playback
