#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/playback/AudioChunk.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/PlaybackErr.h"
#include "platform/playback/TimeBase.h"

namespace hc::playback {

class AudioDecoder;

// Plays one sound track through SDL2, following a time base: it sounds while
// the time base runs forwards (faster or slower with the rate, as a tape
// would), keeps quiet while it stands or runs backwards, and starts over at
// the time base's time whenever that jumps. A machine without an audio
// device (or SDL's dummy driver) is no error: the player then stays silent.
//
// A decode thread keeps a bounded stretch of samples ahead of the play
// position; the device's callback takes them at the time base's time.
class SoundPlayer {
 public:
  static constexpr double kBufferedSeconds = 0.5;
  // The device's play position may drift this far from the time base before
  // the player jumps to the time base's time.
  static constexpr double kResyncSeconds = 0.1;

  // trackId 0: the first sound track. Fails only for a track that cannot be decoded.
  static PlaybackErr Create(const DataReference& reference, uint32_t trackId, std::shared_ptr<TimeBase> timeBase,
                            std::unique_ptr<SoundPlayer>* out);
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;
  ~SoundPlayer();

  bool HasDevice() const { return device_ != 0; }
  void SetVolume(float volume) { volume_ = volume; }
  void SetMuted(bool muted) { muted_ = muted; }
  // Sample frames handed to the device with sound in them (tests).
  uint64_t FramesSounded() const { return framesSounded_; }
  // Fills `frames` interleaved frames as the device callback would (tests and
  // the device callback).
  void Mix(float* out, int frames);

 private:
  SoundPlayer() = default;
  static void DeviceCallback(void* user, uint8_t* stream, int length);
  void DecodeLoop();
  size_t BufferedFramesLocked() const;


  std::unique_ptr<AudioDecoder> decoder_;
  std::shared_ptr<TimeBase> timeBase_;
  int observer_ = 0;
  uint32_t device_ = 0;
  bool sdlStarted_ = false;
  int rate_ = 48000;
  int channels_ = 2;
  std::atomic<float> volume_{1.0f};
  std::atomic<bool> muted_{false};
  std::atomic<uint64_t> framesSounded_{0};

  std::mutex mutex_;
  std::shared_ptr<std::condition_variable> wake_ = std::make_shared<std::condition_variable>();
  std::deque<AudioChunk> chunks_;
  uint64_t generation_ = 0;  // of the time base when the buffered samples were read
  bool resync_ = true;       // the decoder must start over at the time base's time
  bool decoderEnded_ = false;
  bool stop_ = false;
  double cursor_ = 0.0;  // movie time of the next sample the device plays
  bool cursorValid_ = false;
  int64_t cursorLap_ = 0;
  std::thread thread_;
};

}  // namespace hc::playback
