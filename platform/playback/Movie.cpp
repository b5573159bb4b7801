#include "platform/playback/Movie.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/playback/FfmpegInput.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovImageDescription.h"
#include "platform/playback/SoundPlayer.h"

namespace hc::playback {

using movfile::MovFourCC;

namespace {

constexpr int64_t kMaxDurationSeconds = int64_t{1} << 40;

int64_t Rescale(int64_t value, int64_t from, int64_t to) {
  if (from <= 0 || to <= 0) return 0;
  return av_rescale_rnd(value, to, from, static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

bool IsMovFamily(const AVFormatContext* format) {
  return format->iformat != nullptr && std::strncmp(format->iformat->name, "mov", 3) == 0;
}

}  // namespace

Movie::Movie(int32_t timeScale)
    : timeScale_(timeScale > 0 ? timeScale : kDefaultTimeScale),
      timeBase_(std::make_shared<TimeBase>(timeScale_)) {
  timeBase_->SetEndCallback([this](bool) { finishedPending_ = true; });
}

Movie::~Movie() {
  timeBase_->SetEndCallback(nullptr);
  if (prerollThread_.joinable()) prerollThread_.join();
  std::lock_guard soundLock(soundMutex_);
  sound_.reset();
}

std::unique_ptr<Movie> Movie::CreateEmpty(int32_t timeScale) {
  return std::unique_ptr<Movie>(new Movie(timeScale));
}

// A QuickTime file's header is read with our own atom reader before FFmpeg
// sees the file: FFmpeg indexes every declared sample, so tables declaring
// more samples than the file could hold, or a header past our limits, are
// refused here. Files our reader can't take as a movie (other formats,
// damaged headers) are left to FFmpeg.
PlaybackErr Movie::PreCheckMovFile(const DataReference& reference, movfile::MovFile& file, bool* read) {
  *read = false;
  if (!reference.IsFile()) return PlaybackErr::Ok;
  movfile::MovErr err = file.OpenForRead(reference.Text());
  if (err == movfile::MovErr::Ok) err = file.CheckSampleTables();
  switch (err) {
    case movfile::MovErr::Ok:
      *read = true;
      return PlaybackErr::Ok;
    case movfile::MovErr::SizeLimitExceeded:
    case movfile::MovErr::OutOfMemory:
    case movfile::MovErr::InvalidSampleTable:
      return PlaybackErrFromMovErr(err);
    default:
      return PlaybackErr::Ok;
  }
}

PlaybackErr Movie::Open(const DataReference& reference, std::unique_ptr<Movie>* out) {
  if (out == nullptr || reference.IsEmpty()) return PlaybackErr::BadArgument;
  movfile::MovFile file;
  bool fileRead = false;
  if (PlaybackErr e = PreCheckMovFile(reference, file, &fileRead); PlaybackFailed(e)) return e;
  std::unique_ptr<FfmpegInput> input;
  if (PlaybackErr e = FfmpegInput::Open(reference, &input); PlaybackFailed(e)) return e;
  const AVFormatContext* format = input->Format();
  bool playable = false;
  bool decodable = false;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVCodecParameters* parameters = format->streams[i]->codecpar;
    if (parameters->codec_type != AVMEDIA_TYPE_VIDEO && parameters->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    playable = true;
    if (avcodec_find_decoder(parameters->codec_id) != nullptr) decodable = true;
  }
  if (!playable) return PlaybackErr::NoMovieFound;
  if (!decodable) return PlaybackErr::UnsupportedCodec;

  std::unique_ptr<Movie> movie(new Movie(kDefaultTimeScale));
  movie->reference_ = reference;
  if (!(fileRead && IsMovFamily(format) && movie->LoadFactsFromMovFile(file, *input))) {
    movie->LoadFactsFromStreams(*input);
  }
  if (movie->duration_ < 0 || movie->duration_ / movie->timeScale_ > kMaxDurationSeconds) {
    return PlaybackErr::SizeLimitExceeded;
  }
  movie->timeBase_->SetTimeScale(movie->timeScale_);
  movie->loadState_ = reference.IsUrl() ? LoadState::PlaythroughOK : LoadState::Complete;
  movie->ApplyPlayRange();
  *out = std::move(movie);
  return PlaybackErr::Ok;
}

bool Movie::LoadFactsFromMovFile(const movfile::MovFile& file, const FfmpegInput& input) {
  if (file.TimeScale() == 0) return false;
  timeScale_ = static_cast<int32_t>(std::min<uint32_t>(file.TimeScale(), INT32_MAX));
  duration_ = static_cast<int64_t>(std::min<uint64_t>(file.Duration(), INT64_MAX / 2));
  for (size_t i = 0; i < file.TrackCount(); ++i) {
    const movfile::MovTrack& track = file.Track(i);
    MovieTrackInfo info;
    info.trackId = track.TrackId();
    info.enabled = track.IsEnabled();
    info.handlerType = track.HandlerType();
    info.visual = track.HasVisualCharacteristic();
    info.sound = track.HandlerType() == MovFourCC("soun");
    info.mediaTimeScale = track.MediaTimeScale();
    info.duration = static_cast<int64_t>(std::min<uint64_t>(track.Duration(), INT64_MAX / 2));
    info.offset = static_cast<int64_t>(std::min<uint64_t>(track.Offset(), INT64_MAX / 2));
    info.sampleCount = track.Samples().SampleCount();
    info.width = track.TrackDimensions().Width();
    info.height = track.TrackDimensions().Height();
    info.cleanWidth = track.CleanAperture().Width();
    info.cleanHeight = track.CleanAperture().Height();
    movfile::MovImageDescription description;
    if (info.visual && track.SampleDescriptionCount() > 0 &&
        !movfile::MovFailed(movfile::MovImageDescription::Parse(track.SampleDescription(1), description))) {
      info.codecType = description.CodecType();
      info.encodedWidth = description.Width();
      info.encodedHeight = description.Height();
      uint32_t h = 0;
      uint32_t v = 0;
      if (description.PixelAspect(h, v) && h != 0 && v != 0) {
        info.pixelAspectH = h;
        info.pixelAspectV = v;
      }
    }
    if (const AVStream* stream = input.StreamForTrack(info.trackId); stream != nullptr) {
      if (stream->codecpar->width > 0) info.encodedWidth = stream->codecpar->width;
      if (stream->codecpar->height > 0) info.encodedHeight = stream->codecpar->height;
      if (info.visual && frameRate_ == 0.0) {
        const AVRational rate = av_guess_frame_rate(input.Format(), const_cast<AVStream*>(stream), nullptr);
        if (rate.num > 0 && rate.den > 0) frameRate_ = av_q2d(rate);
      }
    }
    tracks_.push_back(info);
  }
  return true;
}

void Movie::LoadFactsFromStreams(const FfmpegInput& input) {
  const AVFormatContext* format = input.Format();
  timeScale_ = kDefaultTimeScale;
  duration_ = format->duration > 0 ? Rescale(format->duration, AV_TIME_BASE, timeScale_) : 0;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    AVStream* stream = format->streams[i];
    const AVCodecParameters* parameters = stream->codecpar;
    MovieTrackInfo info;
    info.trackId = IsMovFamily(format) ? static_cast<uint32_t>(stream->id) : i + 1;
    info.visual = parameters->codec_type == AVMEDIA_TYPE_VIDEO;
    info.sound = parameters->codec_type == AVMEDIA_TYPE_AUDIO;
    info.handlerType = info.visual ? MovFourCC("vide") : info.sound ? MovFourCC("soun") : 0;
    info.mediaTimeScale = stream->time_base.num == 1 && stream->time_base.den > 0
                              ? static_cast<uint32_t>(stream->time_base.den) : 0;
    if (stream->duration > 0 && stream->time_base.num > 0 && stream->time_base.den > 0) {
      info.duration = Rescale(av_rescale_q(stream->duration, stream->time_base, {1, AV_TIME_BASE}), AV_TIME_BASE,
                              timeScale_);
    } else {
      info.duration = duration_;
    }
    info.sampleCount = stream->nb_frames > 0 ? static_cast<uint64_t>(stream->nb_frames) : 0;
    info.codecType = parameters->codec_tag;
    info.encodedWidth = info.visual ? parameters->width : 0;
    info.encodedHeight = info.visual ? parameters->height : 0;
    info.width = info.cleanWidth = info.encodedWidth;
    info.height = info.cleanHeight = info.encodedHeight;
    if (parameters->sample_aspect_ratio.num > 0 && parameters->sample_aspect_ratio.den > 0) {
      info.pixelAspectH = static_cast<uint32_t>(parameters->sample_aspect_ratio.num);
      info.pixelAspectV = static_cast<uint32_t>(parameters->sample_aspect_ratio.den);
    }
    if (info.visual && frameRate_ == 0.0) {
      const AVRational rate = av_guess_frame_rate(const_cast<AVFormatContext*>(format), stream, nullptr);
      if (rate.num > 0 && rate.den > 0) frameRate_ = av_q2d(rate);
    }
    if (info.visual || info.sound) tracks_.push_back(info);
  }
}

PlaybackErr Movie::CreateTrackMovie(const Movie& shared, uint32_t trackId, std::unique_ptr<Movie>* out) {
  if (out == nullptr) return PlaybackErr::BadArgument;
  std::unique_ptr<Movie> movie(new Movie(shared.TimeScale()));
  {
    std::lock_guard lock(shared.mutex_);
    const auto track = std::find_if(shared.tracks_.begin(), shared.tracks_.end(),
                                    [trackId](const MovieTrackInfo& t) { return t.trackId == trackId; });
    if (track == shared.tracks_.end()) return PlaybackErr::InvalidTrack;
    movie->reference_ = shared.reference_;
    movie->duration_ = shared.duration_;
    movie->frameRate_ = track->visual ? shared.frameRate_ : 0.0;
    movie->loadState_ = shared.loadState_;
    movie->tracks_.push_back(*track);
    movie->tracks_.back().enabled = true;
  }
  movie->ApplyPlayRange();
  const int32_t scale = shared.TimeScale();
  movie->timeBase_->SetMasterTimeBase(shared.timeBase_, shared.timeBase_->GetStartTime(scale), scale);
  *out = std::move(movie);
  return PlaybackErr::Ok;
}

int32_t Movie::TimeScale() const {
  std::lock_guard lock(mutex_);
  return timeScale_;
}

PlaybackErr Movie::SetTimeScale(int32_t scale) {
  if (scale <= 0) return PlaybackErr::BadArgument;
  {
    std::lock_guard lock(mutex_);
    duration_ = Rescale(duration_, timeScale_, scale);
    selectionStart_ = Rescale(selectionStart_, timeScale_, scale);
    selectionDuration_ = Rescale(selectionDuration_, timeScale_, scale);
    for (MovieTrackInfo& track : tracks_) {
      track.duration = Rescale(track.duration, timeScale_, scale);
      track.offset = Rescale(track.offset, timeScale_, scale);
    }
    timeScale_ = scale;
  }
  timeBase_->SetTimeScale(scale);
  ApplyPlayRange();
  return PlaybackErr::Ok;
}

int64_t Movie::Duration() const {
  std::lock_guard lock(mutex_);
  return duration_;
}

double Movie::DurationSeconds() const {
  std::lock_guard lock(mutex_);
  return static_cast<double>(duration_) / timeScale_;
}

std::vector<MovieTrackInfo> Movie::Tracks() const {
  std::lock_guard lock(mutex_);
  return tracks_;
}

bool Movie::FirstVisualTrack(bool enabledOnly, MovieTrackInfo* out) const {
  std::lock_guard lock(mutex_);
  for (const MovieTrackInfo& track : tracks_) {
    if (track.visual && (track.enabled || !enabledOnly)) {
      if (out != nullptr) *out = track;
      return true;
    }
  }
  return false;
}

bool Movie::FirstSoundTrack(bool enabledOnly, MovieTrackInfo* out) const {
  std::lock_guard lock(mutex_);
  for (const MovieTrackInfo& track : tracks_) {
    if (track.sound && (track.enabled || !enabledOnly)) {
      if (out != nullptr) *out = track;
      return true;
    }
  }
  return false;
}

PlaybackErr Movie::SetTrackEnabled(uint32_t trackId, bool enabled) {
  bool soundChanged = false;
  {
    std::lock_guard lock(mutex_);
    const auto track = std::find_if(tracks_.begin(), tracks_.end(),
                                    [trackId](const MovieTrackInfo& t) { return t.trackId == trackId; });
    if (track == tracks_.end()) return PlaybackErr::InvalidTrack;
    soundChanged = track->sound && track->enabled != enabled;
    track->enabled = enabled;
  }
  if (soundChanged) {
    std::lock_guard soundLock(soundMutex_);
    sound_.reset();
    soundTried_ = false;
  }
  if (soundChanged && timeBase_->Rate() != 0.0) StartSoundIfNeeded();
  return PlaybackErr::Ok;
}

bool Movie::TrackHasMediaAt(uint32_t trackId, int64_t time) const {
  std::lock_guard lock(mutex_);
  for (const MovieTrackInfo& track : tracks_) {
    if (track.trackId == trackId) return time >= track.offset && time < track.offset + track.duration;
  }
  return false;
}

double Movie::Rate() const { return timeBase_->Rate(); }

void Movie::SetRate(double rate) {
  if (!std::isfinite(rate)) return;
  if (rate != 0.0) StartSoundIfNeeded();
  timeBase_->SetRate(rate);
  Action action;
  action.kind = Action::Kind::Play;
  action.rate = rate;
  Announce(action);
}

int64_t Movie::Time() const { return timeBase_->GetTime(TimeScale()); }

void Movie::SetTime(int64_t time) {
  const int32_t scale = TimeScale();
  time = std::clamp<int64_t>(time, 0, Duration());
  timeBase_->SetTime(time, scale);
  Action action;
  action.kind = Action::Kind::GoToTime;
  action.time = time;
  Announce(action);
}

bool Movie::IsLooping() const { return timeBase_->IsLooping(); }
void Movie::SetLooping(bool looping) { timeBase_->SetLooping(looping); }

void Movie::GetSelection(int64_t* start, int64_t* duration) const {
  std::lock_guard lock(mutex_);
  if (start != nullptr) *start = selectionStart_;
  if (duration != nullptr) *duration = selectionDuration_;
}

void Movie::SetSelection(int64_t start, int64_t duration) {
  {
    std::lock_guard lock(mutex_);
    selectionStart_ = std::clamp<int64_t>(start, 0, duration_);
    selectionDuration_ = std::clamp<int64_t>(duration, 0, duration_ - selectionStart_);
  }
  ApplyPlayRange();
}

bool Movie::PlaysSelectionOnly() const {
  std::lock_guard lock(mutex_);
  return selectionOnly_;
}

void Movie::SetPlaySelectionOnly(bool selectionOnly) {
  {
    std::lock_guard lock(mutex_);
    if (selectionOnly_ == selectionOnly) return;
    selectionOnly_ = selectionOnly;
  }
  ApplyPlayRange();
}

void Movie::ApplyPlayRange() {
  int64_t start = 0;
  int64_t stop = 0;
  int32_t scale = 0;
  {
    std::lock_guard lock(mutex_);
    scale = timeScale_;
    stop = duration_;
    if (selectionOnly_ && selectionDuration_ > 0) {
      start = selectionStart_;
      stop = selectionStart_ + selectionDuration_;
    }
  }
  if (timeBase_->GetStartTime(scale) == start && timeBase_->GetStopTime(scale) == stop) return;
  // Widen first so that the range never runs backwards in between.
  timeBase_->SetStartTime(std::min(start, timeBase_->GetStartTime(scale)), scale);
  timeBase_->SetStopTime(stop, scale);
  timeBase_->SetStartTime(start, scale);
}

float Movie::Volume() const {
  std::lock_guard lock(mutex_);
  return volume_;
}

void Movie::SetVolume(float volume) {
  if (!std::isfinite(volume)) return;
  volume = std::clamp(volume, 0.0f, 4.0f);
  {
    std::lock_guard lock(mutex_);
    volume_ = volume;
  }
  std::lock_guard soundLock(soundMutex_);
  if (sound_) sound_->SetVolume(volume);
}

bool Movie::IsMuted() const {
  std::lock_guard lock(mutex_);
  return muted_;
}

void Movie::SetMuted(bool muted) {
  {
    std::lock_guard lock(mutex_);
    muted_ = muted;
  }
  std::lock_guard soundLock(soundMutex_);
  if (sound_) sound_->SetMuted(muted);
}

double Movie::FrameDuration() const {
  std::lock_guard lock(mutex_);
  return frameRate_ > 0.0 ? 1.0 / frameRate_ : 1.0 / 25;
}

void Movie::StepFrames(int count) {
  if (count == 0) return;
  SetRate(0.0);
  const double frame = FrameDuration();
  const double now = timeBase_->Seconds();
  const double index = std::floor(now / frame + 1e-6);
  const double target = std::max(0.0, (index + count) * frame);
  const int32_t scale = TimeScale();
  // The first count at or after the frame's start, so the step lands inside it.
  SetTime(static_cast<int64_t>(std::ceil(target * scale - 1e-6)));
}

void Movie::SetMasterTimeBase(std::shared_ptr<TimeBase> master, int64_t offsetValue, int32_t offsetScale) {
  timeBase_->SetMasterTimeBase(std::move(master), offsetValue, offsetScale);
}

Movie::LoadState Movie::GetLoadState() const {
  std::lock_guard lock(mutex_);
  return loadState_;
}

int64_t Movie::MaxLoadedTime() const { return Duration(); }

void Movie::StartSoundIfNeeded() {
  MovieTrackInfo track;
  if (!FirstSoundTrack(true, &track)) return;
  std::lock_guard soundLock(soundMutex_);
  if (soundTried_) return;
  soundTried_ = true;
  std::unique_ptr<SoundPlayer> player;
  if (PlaybackFailed(SoundPlayer::Create(reference_, track.trackId, timeBase_, &player))) {
    Action action;
    action.kind = Action::Kind::Status;
    action.status = "The sound track cannot be played.";
    Announce(action);
    return;
  }
  player->SetVolume(Volume());
  player->SetMuted(IsMuted());
  sound_ = std::move(player);
}

PlaybackErr Movie::Preroll(int64_t time, double rate) {
  if (time < 0 || time > Duration() || !std::isfinite(rate)) return PlaybackErr::BadArgument;
  if (rate != 0.0) StartSoundIfNeeded();
  return PlaybackErr::Ok;
}

void Movie::PrePreroll(int64_t time, double rate, PrerollCompletion completion) {
  if (prerollThread_.joinable()) prerollThread_.join();
  prerollThread_ = std::thread([this, time, rate, completion = std::move(completion)] {
    const PlaybackErr result = Preroll(time, rate);
    std::lock_guard lock(mutex_);
    prerolls_.push_back({completion, result});
  });
}

void Movie::SetActionCallback(ActionCallback callback) {
  std::lock_guard lock(mutex_);
  actionCallback_ = std::move(callback);
}

void Movie::Announce(const Action& action) {
  ActionCallback callback;
  {
    std::lock_guard lock(mutex_);
    callback = actionCallback_;
  }
  if (callback) callback(action);
}

void Movie::Task(int /*maxMilliseconds*/) {
  timeBase_->Update();
  if (finishedPending_.exchange(false)) {
    Action action;
    action.kind = Action::Kind::Finished;
    Announce(action);
  }
  std::vector<PendingPreroll> done;
  {
    std::lock_guard lock(mutex_);
    done.swap(prerolls_);
  }
  for (PendingPreroll& preroll : done) {
    if (preroll.completion) preroll.completion(preroll.result);
  }
}

}  // namespace hc::playback
