#pragma once

#include <atomic>
#include <cstdint>

#include "General/KsSpinLock.h"
#include "General/WeakRef.h"
#include "Time/HcClock.h"

namespace hc::playback {
class Movie;
}

// The clock whose time is a movie's play position. It reaches the movie
// only through the movie's arbiter (MovieArb, any model object implementing
// MovieArbiterInterface), one token at a time: each tick asks for a token
// without waiting, lets the movie do its pending work, reads the movie's time
// (announcing "TimeNow" when it moved) and evaluates the tweens; when another
// thread holds the movie the tweens run on the previous time. The setters
// wait for the token. Rate, selection and looping are the movie's; playing
// starts with a pre-preroll whose completion plays at the rate last asked.
//
// The arbiter holds its clock; the clock holds the arbiter weakly, so the
// two make no cycle.
class HcMovieClock : public HcClock {
  HC_CLASS_HEADER(HcMovieClock)
 public:
  enum : int32_t {
    kMovieArbId = 300,
    kRateId = 301,
    kDurationId = 302,
    kSelectionStartId = 303,
    kSelectionEndId = 304,
    kIsLoopingId = 305,
    kSelectionOnlyId = 306,
  };
  // Milliseconds of movie work per tick, and after a seek.
  static constexpr int32_t kTickMilliseconds = 6;
  static constexpr int32_t kSeekMilliseconds = 100;

  HcMovieClock();
  ~HcMovieClock() override;

  // The movie time of the last update (-1 before the first with a movie).
  double GetTimeNow() override { return m_lastTime.load(std::memory_order_relaxed); }
  // Seeks the movie: -903 without a movie, -2 for a time it can't take.
  eAppErr SetTimeNow(double seconds) override;
  eAppErr Idle() override { return Update(kTickMilliseconds); }
  eAppErr Update(int32_t maxMilliseconds);

  // The arbiter while it lives.
  KsRef<KsObject> GetMovieArb() const;
  // -2 for an object that is no movie arbiter.
  eAppErr SetMovieArb(const KsRef<KsObject>& arbiter);
  // The rate last asked for or reported by the movie; 0 without an arbiter.
  float GetRate() const;
  eAppErr SetRate(double rate);
  double GetDuration() const;
  double GetSelectionStart() const;
  // Moves the selection's start, keeping its end (a start past the end
  // leaves an empty selection there).
  eAppErr SetSelectionStart(double seconds);
  double GetSelectionEnd() const;
  eAppErr SetSelectionEnd(double seconds);
  bool GetIsLooping() const;
  eAppErr SetIsLooping(bool looping);
  bool GetSelectionOnly() const;
  eAppErr SetSelectionOnly(bool selectionOnly);
  // Slaves this movie's time to the other clock's movie: this movie reads 0
  // when the other reads `offset` (in the other movie's time scale). Without
  // another clock the movie runs on its own again. -903 without a movie.
  eAppErr MakeRelativeTo(const KsRef<HcMovieClock>& other, int64_t offset);

 private:
  class MovieAccess;
  struct ActionRelay;
  friend struct ActionRelay;

  MovieAccess Access(int32_t timeoutMs) const;
  void InstallActionFilter(hc::playback::Movie* movie) const;
  void PrePrerollComplete(hc::playback::Movie* movie, int error);

  mutable KsSpinLock m_arbiterLock;
  WeakRef::Ref m_movieArb;
  std::atomic<int32_t> m_rate{0};  // 16.16 fixed point
  std::atomic<double> m_lastTime{-1.0};
  std::atomic<bool> m_prerollPending{false};
  mutable std::atomic<hc::playback::Movie*> m_filteredMovie{nullptr};
};
HC_CLASS_OBJECT(HcMovieClock, HcClock)
