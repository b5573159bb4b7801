#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "platform/playback/ImageBuffer.h"
#include "platform/playback/ImageDecoder.h"
#include "platform/playback/ImagePixelConverter.h"
#include "platform/playback/PlaybackErr.h"

namespace hc::playback {

// How an asynchronous frame ended. A frame was drawn into the destination
// only when Drew() holds; a cancelled frame drew nothing.
struct DecompressionFrameResult {
  PlaybackErr error = PlaybackErr::Ok;
  bool cancelled = false;
  bool Drew() const { return error == PlaybackErr::Ok && !cancelled; }
};

// Called once per asynchronous frame, on the sequence's own thread (or, for
// frames that End cancels, on the thread that called End).
using DecompressionCompletion = std::function<void(const DecompressionFrameResult&)>;

// Decompresses frames of one codec type, as an image description names it,
// into a caller's pixel buffer, each scaled to fill the buffer. A frame is
// decoded at once on the caller's thread, or queued for the sequence's own
// thread when it comes with a completion; queued frames are decoded in order.
// The frame's bytes are copied, so the caller may free them at once; the
// destination buffer must live until End has returned.
//
// Calls come from one client thread at a time. A completion may queue or
// decompress further frames; it must not destroy the sequence, and End
// called from a completion does nothing.
class DecompressionSequence {
 public:
  enum class EndMode {
    Drain,   // every queued frame is decoded and completed first
    Cancel,  // queued frames are completed as cancelled; a running one finishes
  };

  DecompressionSequence() = default;
  ~DecompressionSequence();  // ends with Cancel
  DecompressionSequence(const DecompressionSequence&) = delete;
  DecompressionSequence& operator=(const DecompressionSequence&) = delete;

  // Opens the sequence from a big-endian image description (the 86-byte
  // record and its extensions). An open sequence is ended (drained) first.
  // CodecNotFound for a codec type without a decoder here, InvalidSampleTable
  // for a malformed description, BadArgument or FeatureUnsupported for an
  // unusable destination.
  PlaybackErr Begin(std::span<const uint8_t> imageDescription, const ImageBuffer& destination);
  bool IsOpen() const { return open_; }
  uint32_t CodecType() const { return codecType_; }

  // One frame: decoded now and its result returned when there is no
  // completion; otherwise queued (Ok) and its result handed to the completion.
  PlaybackErr DecompressFrame(std::span<const uint8_t> data, DecompressionCompletion completion = {});

  // Frames queued or being decoded.
  size_t PendingFrames() const;

  // Settles every asynchronous frame as `mode` says, then closes the sequence.
  void End(EndMode mode = EndMode::Drain);

 private:
  struct Job {
    std::vector<uint8_t> data;
    DecompressionCompletion completion;
  };

  PlaybackErr DecodeOne(std::span<const uint8_t> data);
  void StartWorker();
  void WorkerLoop();
  void WaitUntilIdle(std::unique_lock<std::mutex>& lock);

  bool open_ = false;
  uint32_t codecType_ = 0;
  ImageBuffer destination_;

  std::mutex decodeMutex_;  // the decoder and the converter
  ImageDecoder decoder_;
  ImagePixelConverter converter_;

  mutable std::mutex queueMutex_;
  std::condition_variable queueChanged_;
  std::deque<Job> queue_;
  bool running_ = false;  // the worker holds a job
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace hc::playback
