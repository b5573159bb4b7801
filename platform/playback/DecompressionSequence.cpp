#include "platform/playback/DecompressionSequence.h"

#include <utility>

#include "platform/movfile/MovImageDescription.h"

namespace hc::playback {

DecompressionSequence::~DecompressionSequence() { End(EndMode::Cancel); }

PlaybackErr DecompressionSequence::Begin(std::span<const uint8_t> imageDescription, const ImageBuffer& destination) {
  End(EndMode::Drain);
  movfile::MovImageDescription description;
  PlaybackErr err = PlaybackErrFromMovErr(movfile::MovImageDescription::Parse(imageDescription, description));
  if (err != PlaybackErr::Ok) return err;
  if (description.Width() == 0 || description.Height() == 0) return PlaybackErr::InvalidSampleTable;
  if (!ImageDecoder::SupportsCodecType(description.CodecType())) return PlaybackErr::UnsupportedCodec;
  err = ImagePixelConverter::CheckBuffer(destination);
  if (err != PlaybackErr::Ok) return err;

  const uint32_t configurationType = ImageDecoder::ConfigurationExtension(description.CodecType());
  std::span<const uint8_t> configuration;
  if (configurationType) configuration = description.Extension(configurationType);
  std::lock_guard decodeLock(decodeMutex_);
  err = decoder_.Open(description.CodecType(), configuration);
  if (err != PlaybackErr::Ok) return err;
  destination_ = destination;
  codecType_ = description.CodecType();
  open_ = true;
  return PlaybackErr::Ok;
}

PlaybackErr DecompressionSequence::DecompressFrame(std::span<const uint8_t> data, DecompressionCompletion completion) {
  if (!open_) return PlaybackErr::BadArgument;
  if (data.empty()) return PlaybackErr::CodecDataCorrupt;
  if (data.size() > kMaxImageDataBytes) return PlaybackErr::SizeLimitExceeded;
  std::unique_lock lock(queueMutex_);
  if (!completion) {
    // Queued frames come first, unless a completion asks from the sequence's
    // own thread: waiting there would wait for itself.
    if (std::this_thread::get_id() != worker_.get_id()) WaitUntilIdle(lock);
    lock.unlock();
    return DecodeOne(data);
  }
  if (!worker_.joinable()) StartWorker();
  queue_.push_back({std::vector<uint8_t>(data.begin(), data.end()), std::move(completion)});
  queueChanged_.notify_all();
  return PlaybackErr::Ok;
}

size_t DecompressionSequence::PendingFrames() const {
  std::lock_guard lock(queueMutex_);
  return queue_.size() + (running_ ? 1 : 0);
}

void DecompressionSequence::End(EndMode mode) {
  // A completion that ends its own sequence would wait for itself.
  if (worker_.joinable() && std::this_thread::get_id() == worker_.get_id()) return;
  std::deque<Job> cancelled;
  {
    std::unique_lock lock(queueMutex_);
    if (mode == EndMode::Cancel) cancelled.swap(queue_);
    WaitUntilIdle(lock);
    stopping_ = true;
    queueChanged_.notify_all();
  }
  if (worker_.joinable()) worker_.join();
  {
    std::lock_guard lock(queueMutex_);
    stopping_ = false;
  }
  for (Job& job : cancelled) job.completion(DecompressionFrameResult{PlaybackErr::Ok, true});
  std::lock_guard decodeLock(decodeMutex_);
  decoder_.Close();
  open_ = false;
  codecType_ = 0;
  destination_ = {};
}

PlaybackErr DecompressionSequence::DecodeOne(std::span<const uint8_t> data) {
  std::lock_guard decodeLock(decodeMutex_);
  const AVFrame* picture = nullptr;
  PlaybackErr err = decoder_.Decode(data, picture);
  if (err != PlaybackErr::Ok) return err;
  return converter_.Convert(*picture, destination_);
}

void DecompressionSequence::StartWorker() {
  worker_ = std::thread([this] { WorkerLoop(); });
}

void DecompressionSequence::WorkerLoop() {
  std::unique_lock lock(queueMutex_);
  for (;;) {
    queueChanged_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;  // stopping, nothing left
    Job job = std::move(queue_.front());
    queue_.pop_front();
    running_ = true;
    lock.unlock();
    const PlaybackErr err = DecodeOne(job.data);
    job.completion(DecompressionFrameResult{err, false});
    lock.lock();
    running_ = false;
    queueChanged_.notify_all();
  }
}

void DecompressionSequence::WaitUntilIdle(std::unique_lock<std::mutex>& lock) {
  queueChanged_.wait(lock, [this] { return queue_.empty() && !running_; });
}

}  // namespace hc::playback
