#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/playback/AudioChunk.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/FfmpegInput.h"
#include "platform/playback/PlaybackErr.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;

namespace hc::playback {

// Decodes one sound track into interleaved float samples at a chosen rate and
// channel count (libswresample). A demuxer of its own; one thread at a time.
class AudioDecoder {
 public:
  static constexpr int kMaxChannels = 8;
  static constexpr int kMaxSampleRate = 768000;
  static constexpr int kMaxPacketsPerChunk = 4096;

  // trackId 0: the first sound track.
  static PlaybackErr Open(const DataReference& reference, uint32_t trackId, int outputRate, int outputChannels,
                          std::unique_ptr<AudioDecoder>* out);
  AudioDecoder(const AudioDecoder&) = delete;
  AudioDecoder& operator=(const AudioDecoder&) = delete;
  ~AudioDecoder();

  int OutputRate() const { return outputRate_; }
  int OutputChannels() const { return outputChannels_; }
  PlaybackErr SeekTo(double seconds);
  // The next decoded stretch; EndOfMedia after the last.
  PlaybackErr ReadChunk(AudioChunk& out);
  void Abort() { input_->Abort(); }

 private:
  AudioDecoder() = default;
  PlaybackErr SetUpResampler(const AVFrame* frame);
  bool ResamplerTakes(const AVFrame* frame) const;
  PlaybackErr Convert(const AVFrame* frame, AudioChunk& out);

  std::unique_ptr<FfmpegInput> input_;
  AVStream* stream_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  // Set up for the track's description when opened, and again for any
  // frame that arrives in another sample format, channel layout or rate.
  SwrContext* resampler_ = nullptr;
  int outputRate_ = 0;
  int outputChannels_ = 0;
  bool inputEnded_ = false;
  double skipBefore_ = -1.0;  // after a seek: samples before this time are dropped
  double nextSeconds_ = 0.0;
};

}  // namespace hc::playback
