#pragma once

#include <cstdint>

#include "Source/QTMovieSource.h"

// One video track of a shared movie as a source of its own: a private movie
// shows that track in step with the shared movie's time base, the shared
// movie's copy of the track is disabled, and frames come from the private
// movie as for a movie source. The clock stays the shared movie's; the
// private movie's clock is evaluated with it as a dependent clock.
class QTMovieTrackSource : public QTMovieSource {
  HC_CLASS_HEADER(QTMovieTrackSource)
 public:
  enum : int32_t { kTrackIDId = 400 };

  QTMovieTrackSource();
  ~QTMovieTrackSource() override;

  // Stores the shared movie's arbiter, then rebuilds the private movie from
  // it when a track is set; a build failure is returned.
  eAppErr SetMovieArb(const KsRef<QTMovieArbiter>& arbiter) override;
  // A token of the private movie.
  KsRef<QTMovieToken> GetMovieToken(int32_t timeoutMs) override;

  uint32_t GetTrackID() const { return m_trackId; }
  eAppErr SetTrackID(uint32_t trackId);
  // Builds the private movie of the track; 0 without a track or an arbiter,
  // -607 (with nothing changed) for a track the shared movie does not have.
  eAppErr CreateTrackMovie();

  KsRef<QTMovieArbiter> GetTrackArbiter() const { return m_trackArbiter; }
  int64_t GetSharedDuration() const { return m_sharedDuration; }

 private:
  void LinkClocks();

  KsRef<QTMovieArbiter> m_trackArbiter;
  uint32_t m_trackId = 0;
  int64_t m_sharedDuration = 0;
};
HC_CLASS_OBJECT(QTMovieTrackSource, QTMovieSource)
