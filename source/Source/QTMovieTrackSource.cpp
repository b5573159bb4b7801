#include "Source/QTMovieTrackSource.h"

#include <algorithm>
#include <memory>

#include "General/KsObjectCollectionBase.h"
#include "QuickTime/MovieLayerErr.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "Source/SourceErr.h"
#include "Utilities/HcProperty.h"
#include "platform/playback/Movie.h"

namespace {

bool HasTrack(const hc::playback::Movie* movie, uint32_t trackId) {
  if (!movie) return false;
  const std::vector<hc::playback::MovieTrackInfo> tracks = movie->Tracks();
  return std::any_of(tracks.begin(), tracks.end(), [trackId](const auto& t) { return t.trackId == trackId; });
}

}  // namespace

QTMovieTrackSource::QTMovieTrackSource() = default;

QTMovieTrackSource::~QTMovieTrackSource() {
  DropVisualContext();
  m_trackArbiter = nullptr;
}

eAppErr QTMovieTrackSource::SetTrackID(uint32_t trackId) {
  m_trackId = trackId;
  return AppErr::kNoErr;
}

eAppErr QTMovieTrackSource::SetMovieArb(const KsRef<QTMovieArbiter>& arbiter) {
  if (!arbiter) {
    m_sharedDuration = 0;
    return AppErr::kNoErr;
  }
  {
    KsRef<QTMovieToken> token = arbiter->WaitForToken(-1);
    hc::playback::Movie* movie = token ? token->GetMovie() : nullptr;
    if (m_trackId != 0 && !HasTrack(movie, m_trackId)) return KS_TRACE_ERR(AppErr::kNotFound, "SetMovieArb");
    m_sharedDuration = movie ? movie->Duration() : 0;
  }
  QTMovieSource::SetMovieArb(arbiter);
  const eAppErr err = CreateTrackMovie();
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetMovieArb");
  return AppErr::kNoErr;
}

KsRef<QTMovieToken> QTMovieTrackSource::GetMovieToken(int32_t timeoutMs) {
  return m_trackArbiter ? m_trackArbiter->WaitForToken(timeoutMs) : KsRef<QTMovieToken>();
}

eAppErr QTMovieTrackSource::CreateTrackMovie() {
  KsRef<QTMovieArbiter> shared = GetMovieArb();
  if (m_trackId == 0 || !shared) return AppErr::kNoErr;
  KsRef<QTMovieToken> sharedToken = shared->WaitForToken(-1);
  hc::playback::Movie* sharedMovie = sharedToken ? sharedToken->GetMovie() : nullptr;
  if (!sharedMovie) return KS_TRACE_ERR(AppErr::kNotReady, "CreateTrackMovie");
  if (!HasTrack(sharedMovie, m_trackId)) return KS_TRACE_ERR(AppErr::kNotFound, "CreateTrackMovie");

  std::unique_ptr<hc::playback::Movie> trackMovie;
  hc::playback::PlaybackErr err = hc::playback::Movie::CreateTrackMovie(*sharedMovie, m_trackId, &trackMovie);
  if (err != hc::playback::PlaybackErr::Ok) return KS_TRACE_ERR(AppErrFromPlaybackErr(err), "CreateTrackMovie");
  auto trackArbiter = KsMakeRef<QTMovieArbiter>();
  trackArbiter->SetQuickTimeMovie(trackMovie.release());
  trackArbiter->SetOwnMovie(true);
  err = sharedMovie->SetTrackEnabled(m_trackId, false);
  if (err != hc::playback::PlaybackErr::Ok) return KS_TRACE_ERR(AppErrFromPlaybackErr(err), "CreateTrackMovie");

  DropVisualContext();
  m_trackArbiter = trackArbiter;
  sharedToken = nullptr;
  LinkClocks();
  Update();
  return AppErr::kNoErr;
}

void QTMovieTrackSource::LinkClocks() {
  KsRef<KsObject> trackClock = m_trackArbiter ? m_trackArbiter->GetClock() : KsRef<KsObject>();
  KsRef<QTMovieArbiter> shared = GetMovieArb();
  KsRef<KsObject> sharedClock = shared ? shared->GetClock() : KsRef<KsObject>();
  if (!trackClock || !sharedClock) {
    KS_TRACE(KsTrace::kError, "Master or track clock is missing!");
    return;
  }
  KsRef<HcProperty> property = sharedClock->GetClassObject()->FindProperty("DependentClocks");
  KsRef<KsObject> value;
  if (!property || AppErrFailed(property->GetValue(sharedClock.Get(), &value))) return;
  auto dependents = value.DynamicCast<KsObjectCollectionBase>();
  if (dependents && !dependents->ContainsObject(trackClock)) dependents->AddObject(trackClock);
}
