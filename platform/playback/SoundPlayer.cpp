#include "platform/playback/SoundPlayer.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/playback/AudioDecoder.h"

namespace hc::playback {

PlaybackErr SoundPlayer::Create(const DataReference& reference, uint32_t trackId,
                                std::shared_ptr<TimeBase> timeBase, std::unique_ptr<SoundPlayer>* out) {
  if (out == nullptr || !timeBase) return PlaybackErr::BadArgument;
  std::unique_ptr<SoundPlayer> player(new SoundPlayer());
  player->timeBase_ = std::move(timeBase);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    player->sdlStarted_ = true;
    SDL_AudioSpec wanted{};
    wanted.freq = player->rate_;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = static_cast<Uint8>(player->channels_);
    wanted.samples = 1024;
    wanted.callback = &SoundPlayer::DeviceCallback;
    wanted.userdata = player.get();
    SDL_AudioSpec obtained{};
    player->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  }
  if (PlaybackErr e = AudioDecoder::Open(reference, trackId, player->rate_, player->channels_, &player->decoder_);
      PlaybackFailed(e)) {
    return e;
  }
  if (player->device_ != 0) {
    std::weak_ptr<std::condition_variable> wake = player->wake_;
    player->observer_ = player->timeBase_->AddChangeObserver([wake] {
      if (auto cv = wake.lock()) cv->notify_all();
    });
    player->thread_ = std::thread(&SoundPlayer::DecodeLoop, player.get());
    SDL_PauseAudioDevice(player->device_, 0);
  }
  *out = std::move(player);
  return PlaybackErr::Ok;
}

SoundPlayer::~SoundPlayer() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for a running callback
  if (timeBase_) timeBase_->RemoveChangeObserver(observer_);
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  if (decoder_) decoder_->Abort();
  wake_->notify_all();
  if (thread_.joinable()) thread_.join();
  if (sdlStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SoundPlayer::DeviceCallback(void* user, uint8_t* stream, int length) {
  auto* player = static_cast<SoundPlayer*>(user);
  const int frames = length / static_cast<int>(sizeof(float)) / player->channels_;
  player->Mix(reinterpret_cast<float*>(stream), frames);
}

size_t SoundPlayer::BufferedFramesLocked() const {
  size_t samples = 0;
  for (const AudioChunk& chunk : chunks_) samples += chunk.samples.size();
  return samples / static_cast<size_t>(channels_);
}

void SoundPlayer::DecodeLoop() {
  std::unique_lock lock(mutex_);
  const auto enough = static_cast<size_t>(kBufferedSeconds * rate_);
  while (!stop_) {
    const uint64_t generation = timeBase_->Generation();
    if (generation != generation_ || resync_) {
      generation_ = generation;
      resync_ = false;
      chunks_.clear();
      decoderEnded_ = false;
      cursorValid_ = false;
      const double target = timeBase_->PositionNow().seconds;
      lock.unlock();
      const PlaybackErr e = decoder_->SeekTo(target);
      lock.lock();
      if (PlaybackFailed(e)) decoderEnded_ = true;
      continue;
    }
    if (decoderEnded_ || BufferedFramesLocked() >= enough) {
      wake_->wait(lock);
      continue;
    }
    lock.unlock();
    AudioChunk chunk;
    const PlaybackErr e = decoder_->ReadChunk(chunk);
    lock.lock();
    if (resync_ || timeBase_->Generation() != generation_) continue;
    if (PlaybackFailed(e)) {
      decoderEnded_ = true;
      continue;
    }
    chunks_.push_back(std::move(chunk));
  }
}

void SoundPlayer::Mix(float* out, int frames) {
  if (out == nullptr || frames <= 0) return;
  const size_t channels = static_cast<size_t>(channels_);
  std::fill(out, out + static_cast<size_t>(frames) * channels, 0.0f);
  const TimeBase::Position position = timeBase_->PositionNow();
  const double rate = timeBase_->Rate();
  std::lock_guard lock(mutex_);
  if (rate <= 0.0 || !std::isfinite(rate)) {
    cursorValid_ = false;
    return;
  }
  if (position.lap != cursorLap_) {
    cursorLap_ = position.lap;
    resync_ = true;  // the time base wrapped: read again from where it is now
    wake_->notify_all();
  }
  if (!cursorValid_ || std::fabs(cursor_ - position.seconds) > kResyncSeconds) {
    cursor_ = position.seconds;
    cursorValid_ = true;
  }
  const float gain = muted_ ? 0.0f : std::clamp(volume_.load(), 0.0f, 4.0f);
  const double step = rate / rate_;
  size_t chunkIndex = 0;
  uint64_t sounded = 0;
  for (int i = 0; i < frames; ++i) {
    const double t = cursor_ + step * i;
    while (chunkIndex < chunks_.size()) {
      const AudioChunk& chunk = chunks_[chunkIndex];
      const double end = chunk.seconds + static_cast<double>(chunk.samples.size() / channels) / rate_;
      if (t < end) break;
      ++chunkIndex;
    }
    if (chunkIndex == chunks_.size()) break;
    const AudioChunk& chunk = chunks_[chunkIndex];
    if (t < chunk.seconds) continue;
    const auto index = static_cast<size_t>((t - chunk.seconds) * rate_);
    const size_t at = std::min(index, chunk.samples.size() / channels - 1) * channels;
    for (size_t c = 0; c < channels; ++c) out[static_cast<size_t>(i) * channels + c] = chunk.samples[at + c] * gain;
    ++sounded;
  }
  cursor_ += step * frames;
  while (!chunks_.empty()) {
    const AudioChunk& chunk = chunks_.front();
    const double end = chunk.seconds + static_cast<double>(chunk.samples.size() / channels) / rate_;
    if (end > cursor_) break;
    chunks_.pop_front();
  }
  framesSounded_ += sounded;
  wake_->notify_all();
}

}  // namespace hc::playback
