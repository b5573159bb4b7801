#include "Source/QTMovieSource.h"

#include <cmath>

#include "QuickTime/MovieLayerErr.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "Source/SourceErr.h"
#include "Source/VisualContextDisposal.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VisualContext.h"

namespace {

constexpr int kFirstTaskMilliseconds = 50;

}  // namespace

QTMovieSource::QTMovieSource() = default;

// Detaching needs no movie access here (the visual context keeps what it
// reads of the movie), so dying never waits for the movie.
QTMovieSource::~QTMovieSource() {
  DropVisualContext();
  m_textureSet = nullptr;
  m_movieArb = nullptr;
}

void QTMovieSource::DropVisualContext() {
  std::shared_ptr<hc::playback::VisualContext> context;
  {
    std::lock_guard lock(m_contextMutex);
    context = std::move(m_visualContext);
  }
  if (context) context->SetImageAvailableCallback(nullptr);
}

std::shared_ptr<hc::playback::VisualContext> QTMovieSource::GetVisualContext() const {
  std::lock_guard lock(m_contextMutex);
  return m_visualContext;
}

KsRef<QTVisualContextTextureSet> QTMovieSource::GetVCTextureSet() const { return m_textureSet; }

KsRef<KsObject> QTMovieSource::GetClock() { return m_movieArb ? m_movieArb->GetClock() : KsRef<KsObject>(); }

KsRef<QTMovieArbiter> QTMovieSource::GetMovieArb() const { return m_movieArb; }

eAppErr QTMovieSource::SetMovieArb(const KsRef<QTMovieArbiter>& arbiter) {
  DidChangeCaller change(this, kMovieArbId);
  if (arbiter != m_movieArb) m_movieArb = arbiter;
  DropVisualContext();
  return AppErr::kNoErr;
}

KsRef<QTMovieToken> QTMovieSource::GetMovieToken(int32_t timeoutMs) {
  return m_movieArb ? m_movieArb->WaitForToken(timeoutMs) : KsRef<QTMovieToken>();
}

eAppErr QTMovieSource::FinishedDrawCycle() {
  VisualContextDisposal::DisposeRetired();
  if (std::shared_ptr<hc::playback::VisualContext> context = GetVisualContext()) context->Task();
  return AppErr::kNoErr;
}

eAppErr QTMovieSource::GetDataAtPoint(int32_t, int32_t, uint32_t, float*) {
  return KS_TRACE_ERR(AppErr::kNotReady, "GetDataAtPoint");
}

// The post-flight step updates every source after each drawn frame. New
// pictures raise the renderer's flag themselves (ImageAvailable), so an update
// marks the renderer only when pictures arrived since the last update: marking
// it every time would redraw a paused movie on every refresh.
eAppErr QTMovieSource::DoUpdate() {
  SetDataFlag(true);
  const uint64_t frames = GetFrameCount();
  if (m_framesAtLastUpdate.exchange(frames) == frames) return AppErr::kNoErr;
  if (KsRef<PanoRenderer> renderer = GetRenderer()) renderer->SetIsDirty(true);
  return AppErr::kNoErr;
}

// On a decode thread: flags only.
void QTMovieSource::ImageAvailable() {
  SetDataFlag(true);
  IncrementFrameCount();
  if (KsRef<PanoRenderer> renderer = GetRenderer()) renderer->RaiseDirtyFlag();
}

void QTMovieSource::ConfigureFromMovie(QTMovieToken& token) {
  hc::playback::Movie* movie = token.GetMovie();
  hc::playback::MovieTrackInfo track;
  if (!movie || !movie->FirstVisualTrack(true, &track)) return;
  SetDimensions(track.encodedWidth, track.encodedHeight);
  // Without a usable 'pasp' (none, or a zero spacing) pixels are square.
  const float ratio = static_cast<float>(track.pixelAspectV) / static_cast<float>(track.pixelAspectH);
  SetPixelAspectRatio(std::isfinite(ratio) && ratio > 0.0f ? ratio : 1.0f);
  SetProjection(GetProjection());
}

void QTMovieSource::MakeVisualContext(const KsRef<PanoRenderer>& renderer) {
  if (GetVisualContext()) return;
  KsRef<QTMovieToken> token = GetMovieToken(kDrawingThreadTokenWaitMs);
  hc::playback::Movie* movie = token ? token->GetMovie() : nullptr;
  if (!movie) {
    KS_TRACE(KsTrace::kError, "No movie available to create visual context.");
    return;
  }
  ConfigureFromMovie(*token);
  auto apple = renderer.DynamicCast<AppleOpenGLRenderer>();
  if (!apple) return;
  hc::playback::VisualContext::Options options;
  if (apple->GetExpectedReadAhead() > 0.0f) options.expectedReadAhead = apple->GetExpectedReadAhead();
  std::unique_ptr<hc::playback::VisualContext> made;
  const hc::playback::PlaybackErr err = hc::playback::VisualContext::Create(apple->GetGlContext(), options, &made);
  if (err != hc::playback::PlaybackErr::Ok) {
    KS_TRACE(KsTrace::kError, "Failed creating texture context (%d).", hc::playback::PlaybackErrCode(err));
    return;
  }
  if (const hc::playback::PlaybackErr attach = made->SetMovie(movie); hc::playback::PlaybackFailed(attach)) {
    KS_TRACE_ERR(AppErrFromPlaybackErr(attach), "MakeVisualContext");
  }
  made->SetImageAvailableCallback([this](const hc::gl::DisplayTimeStamp&) { ImageAvailable(); });
  movie->Task(kFirstTaskMilliseconds);
  std::lock_guard lock(m_contextMutex);
  m_visualContext = VisualContextDisposal::Share(std::move(made), apple->GetGlContext());
}

bool QTMovieSource::HasImageAtCurrentTime() {
  KsRef<QTMovieToken> token = GetMovieToken(0);
  hc::playback::Movie* movie = token ? token->GetMovie() : nullptr;
  if (!movie) return true;
  hc::playback::MovieTrackInfo track;
  if (!movie->FirstVisualTrack(false, &track)) return true;
  if (!movie->TrackHasMediaAt(track.trackId, movie->Time())) {
    SetDataFlag(false);
    return false;
  }
  return true;
}

eAppErr QTMovieSource::TextureSetForRenderer(const KsRef<PanoRenderer>& renderer, KsRef<HcTextureSet>& set,
                                             uint32_t) {
  VisualContextDisposal::DisposeRetired();
  if (!GetRenderer()) {
    const eAppErr err = SetRenderer(renderer);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "TextureSetForRenderer");
  }
  if (!GetVisualContext()) MakeVisualContext(renderer);
  std::shared_ptr<hc::playback::VisualContext> context = GetVisualContext();
  if (!m_textureSet) {
    m_textureSet = KsMakeRef<QTVisualContextTextureSet>();
    m_textureSet->SetProjection(GetProjection());
    m_textureSet->SetVisualContext(context);
    m_textureSet->SetRenderer(renderer.DynamicCast<AppleOpenGLRenderer>());
  } else {
    m_textureSet->SetProjection(GetProjection());
    if (m_textureSet->GetSharedVisualContext() != context) m_textureSet->SetVisualContext(context);
  }
  if (!HasImageAtCurrentTime()) return AppErr::kNoImageYet;
  set = m_textureSet;
  return AppErr::kNoErr;
}
