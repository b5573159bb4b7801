#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"

class HcContextHelper;
class HcMovieClock;

// The transport of a context's movie as properties and commands: rate, play
// and pause, looping, selection, position, frame steps, volume and mute,
// scrubbing, and whether the source's tweens and the real-time clock's idle
// transition run. Every transport operation goes to the context's
// "MovieClock" when it is a movie clock; without one, getters answer 0 or
// false and setters do nothing and answer 0. The controller observes the
// context's "MovieClock" and the clock itself, and announces the clock's
// changes as its own properties, so user interfaces bound to it follow the
// movie.
//
// The context is held weakly: it keeps the controller among its named
// controller objects, and the two must not keep each other alive.
//
// Commands and setters run on the main thread. The clock's notices (its time
// above all) arrive on the display-link thread; the context and clock the
// controller follows are read under a lock of its own.
class HcPlaybackController : public KsObject {
  HC_CLASS_HEADER(HcPlaybackController)
 public:
  enum : int32_t {
    kContextHelperId = 200,
    kIsLoopingId = 201,
    kIsPlayingId = 202,
    kIsScrubbingId = 203,
    kRateId = 204,
    kSelectionOnlyId = 205,
    kMutedId = 206,
    kVolumeId = 207,
    kPositionId = 208,
    kDurationId = 209,
    kSelectionStartId = 210,
    kSelectionEndId = 211,
    kShowInOutPointsId = 212,
    kInPointId = 213,
    kOutPointId = 214,
    kTweensActiveId = 215,
  };
  // How long a volume change or a frame step waits for the movie, which the
  // display-link thread holds only briefly each refresh.
  static constexpr int32_t kMovieTokenTimeoutMs = 500;
  static constexpr float kVolumeStep = 0.05f;
  // Seconds played on either side of the position by PlayAroundCurrentPosition.
  static constexpr double kPlayAroundSeconds = 2.5;

  HcPlaybackController();
  ~HcPlaybackController() override;

  // The context while it lives, else none.
  KsRef<HcContextHelper> GetContextHelper() const;
  eAppErr SetContextHelper(const KsRef<HcContextHelper>& context);
  // The context's movie clock, or none.
  KsRef<HcMovieClock> GetMovieClock() const;

  bool GetIsLooping() const;
  eAppErr SetIsLooping(bool looping);
  bool GetIsPlaying() const { return GetRate() != 0.0f; }
  bool GetIsScrubbing() const { return m_isScrubbing; }
  // Scrubbing holds the movie (rate 0) and gives back the rate it had after.
  eAppErr SetIsScrubbing(bool scrubbing);
  float GetRate() const;
  eAppErr SetRate(float rate);
  bool GetSelectionOnly() const;
  eAppErr SetSelectionOnly(bool selectionOnly);
  bool GetMuted() const { return m_muted; }
  eAppErr SetMuted(bool muted);
  float GetVolume() const { return m_volume; }
  // Clamped to 0..1, then applied to the movie.
  eAppErr SetVolume(float volume);
  // Seconds.
  double GetPosition() const;
  eAppErr SetPosition(double seconds);
  double GetDuration() const;
  double GetSelectionStart() const;
  eAppErr SetSelectionStart(double seconds);
  double GetSelectionEnd() const;
  eAppErr SetSelectionEnd(double seconds);
  virtual bool GetShowInOutPoints();
  virtual double GetInPoint();
  virtual eAppErr SetInPoint(double seconds);
  virtual double GetOutPoint();
  virtual eAppErr SetOutPoint(double seconds);
  // The clock's rate changed: announces Rate (and IsPlaying when playback
  // starts or stops); a stop leaves selection-only mode.
  virtual void RateDidChange();
  bool GetTweensActive() const { return m_tweensActive; }
  // Switches the tweens of the context's source and the shared real-time
  // clock's idle transition together.
  eAppErr SetTweensActive(bool active);

  eAppErr TogglePlay();
  eAppErr PlaySelection();
  eAppErr PlayAroundCurrentPosition();
  eAppErr ToggleIsLooping();
  eAppErr ToggleMuted();
  eAppErr IncreaseVolume();
  eAppErr DecreaseVolume();
  eAppErr GotoBeginning();
  eAppErr GotoEnd();
  eAppErr GotoSelectionStart();
  eAppErr GotoSelectionEnd();
  // One frame of the movie's first visual track forward or back, from frame
  // start to frame start; nothing moves when the frame length is unknown.
  eAppErr StepForward();
  eAppErr StepBackward();
  // Rate 0.5 (fine) or 2.0; Rewind the same backwards.
  eAppErr FastForward(bool fine);
  eAppErr Rewind(bool fine);

  // The movie volume for a level 0..1: the level in 1/255 steps, negative
  // when muted (the level is kept while muted).
  static int32_t MovieVolumeValue(float volume, bool muted);
  // The position after a frame step from `units` (time-scale units) on a grid
  // of frames `frame` units long; direction +1 or -1.
  static int64_t FrameStepTarget(int64_t units, int64_t frame, int direction);

  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;

 private:
  // Follows the context's current movie clock: observes it (and no longer
  // the one followed before) and applies the volume to its movie.
  void AttachToMovieClock();
  void ApplyVolume(const KsRef<HcMovieClock>& clock, const char* failure);
  eAppErr StepFrame(int direction);
  KsRef<HcMovieClock> ObservedClock() const;

  mutable std::mutex m_lock;
  WeakRef::Ref m_context;               // under m_lock
  KsRef<HcMovieClock> m_observedClock;  // under m_lock
  std::atomic<float> m_lastRate{0.0f};
  float m_scrubRate = 0.0f;
  bool m_isScrubbing = false;
  float m_volume = 1.0f;
  bool m_muted = false;
  bool m_tweensActive = false;
};
HC_CLASS_OBJECT(HcPlaybackController, KsObject)
