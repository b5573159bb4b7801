#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/playback/DataReference.h"
#include "platform/playback/MovieTrackInfo.h"
#include "platform/playback/PlaybackErr.h"
#include "platform/playback/TimeBase.h"

namespace hc::movfile {
class MovFile;
}

namespace hc::playback {

class FfmpegInput;
class SoundPlayer;

// A movie opened for playing: a file or an http(s) URL read through FFmpeg,
// its tracks, and the time base that says where it is. Pictures come out of
// the visual contexts attached to it (VisualContext) and sound plays from its
// first enabled sound track once it runs.
//
// Times are counts in the movie's time scale. Play setters (rate, time,
// looping, selection) take effect at once in the time base; the actions they
// cause (play, go to time, finished, status) reach the action callback, and
// those the time base raises by itself (the end of the movie) are delivered
// by Task. Every call is thread-safe; none of them waits for decoding.
class Movie {
 public:
  enum class LoadState { Error = -1, Loading = 1000, Loaded = 2000, Playable = 10000,
                         PlaythroughOK = 20000, Complete = 100000 };

  struct Action {
    enum class Kind { Play, GoToTime, Finished, Status };
    Kind kind = Kind::Status;
    double rate = 0.0;  // Play: the new rate
    int64_t time = 0;   // GoToTime: the new time, in the movie's time scale
    std::string status;  // Status: a line for the user
  };
  using ActionCallback = std::function<void(const Action&)>;
  // error: Ok when the movie is ready to play at the asked time and rate.
  using PrerollCompletion = std::function<void(PlaybackErr error)>;

  static constexpr int32_t kDefaultTimeScale = 600;

  // Opens the movie at a data reference (file or URL). Reading the file's
  // header may block, so callers on an interactive thread open on a worker.
  static PlaybackErr Open(const DataReference& reference, std::unique_ptr<Movie>* out);
  // A movie with no tracks and no data (duration 0).
  static std::unique_ptr<Movie> CreateEmpty(int32_t timeScale = kDefaultTimeScale);
  // A movie that shows one track of `shared` and plays in step with it: its
  // time base is slaved to the shared movie's from that one's start time.
  static PlaybackErr CreateTrackMovie(const Movie& shared, uint32_t trackId, std::unique_ptr<Movie>* out);

  Movie(const Movie&) = delete;
  Movie& operator=(const Movie&) = delete;
  ~Movie();

  const DataReference& Reference() const { return reference_; }
  int32_t TimeScale() const;
  PlaybackErr SetTimeScale(int32_t scale);
  int64_t Duration() const;
  double DurationSeconds() const;

  std::vector<MovieTrackInfo> Tracks() const;
  // The first visual (or sound) track, enabled ones only when asked.
  bool FirstVisualTrack(bool enabledOnly, MovieTrackInfo* out) const;
  bool FirstSoundTrack(bool enabledOnly, MovieTrackInfo* out) const;
  PlaybackErr SetTrackEnabled(uint32_t trackId, bool enabled);
  // Whether the track has media at a movie time (false for an unknown track,
  // before its offset and from its end on).
  bool TrackHasMediaAt(uint32_t trackId, int64_t time) const;

  std::shared_ptr<TimeBase> GetTimeBase() const { return timeBase_; }

  double Rate() const;
  void SetRate(double rate);
  int64_t Time() const;
  void SetTime(int64_t time);
  bool IsLooping() const;
  void SetLooping(bool looping);
  void GetSelection(int64_t* start, int64_t* duration) const;
  void SetSelection(int64_t start, int64_t duration);
  bool PlaysSelectionOnly() const;
  void SetPlaySelectionOnly(bool selectionOnly);
  float Volume() const;
  void SetVolume(float volume);  // 1.0 full; 0 to 4
  bool IsMuted() const;
  void SetMuted(bool muted);
  // Moves by whole frames of the first enabled visual track (negative: back).
  void StepFrames(int count);
  // Slaves the time base: this movie reads 0 when the master reads offset.
  void SetMasterTimeBase(std::shared_ptr<TimeBase> master, int64_t offsetValue, int32_t offsetScale);

  LoadState GetLoadState() const;
  // How far the movie is loaded (all of it for files).
  int64_t MaxLoadedTime() const;

  // Readies playing at the time and rate; returns once the sound is open.
  PlaybackErr Preroll(int64_t time, double rate);
  // The same without waiting: the completion runs from a later Task.
  void PrePreroll(int64_t time, double rate, PrerollCompletion completion);

  void SetActionCallback(ActionCallback callback);
  // Delivers what the time base raised since the last call (end of movie) and
  // finished prerolls. Never blocks; maxMilliseconds bounds the work done.
  void Task(int maxMilliseconds);

 private:
  explicit Movie(int32_t timeScale);
  static PlaybackErr PreCheckMovFile(const DataReference& reference, movfile::MovFile& file, bool* read);
  bool LoadFactsFromMovFile(const movfile::MovFile& file, const FfmpegInput& input);
  void LoadFactsFromStreams(const FfmpegInput& input);
  void ApplyPlayRange();
  void Announce(const Action& action);
  void StartSoundIfNeeded();
  double FrameDuration() const;

  mutable std::mutex mutex_;
  DataReference reference_;
  int32_t timeScale_;
  int64_t duration_ = 0;
  std::vector<MovieTrackInfo> tracks_;
  double frameRate_ = 0.0;  // of the first visual stream, 0 when unknown
  std::shared_ptr<TimeBase> timeBase_;
  int64_t selectionStart_ = 0;
  int64_t selectionDuration_ = 0;
  bool selectionOnly_ = false;
  float volume_ = 1.0f;
  bool muted_ = false;
  LoadState loadState_ = LoadState::Complete;
  ActionCallback actionCallback_;
  std::atomic<bool> finishedPending_{false};
  struct PendingPreroll {
    PrerollCompletion completion;
    PlaybackErr result = PlaybackErr::Ok;
  };
  std::vector<PendingPreroll> prerolls_;
  std::mutex soundMutex_;  // taken before mutex_ when both are held
  std::unique_ptr<SoundPlayer> sound_;
  bool soundTried_ = false;
  std::thread prerollThread_;
};

}  // namespace hc::playback
