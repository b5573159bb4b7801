#include "InterfaceCommon/HcPlaybackController.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "InterfaceCommon/HcContextHelper.h"
#include "Source/PanoSource.h"
#include "Time/HcMovieClock.h"
#include "Time/HcTween.h"
#include "Time/HcTweenCollection.h"
#include "Time/MovieArbiterInterface.h"
#include "Time/QTSystemClock.h"
#include "Utilities/HcProperty.h"
#include "platform/playback/Movie.h"
#include "platform/playback/MovieTrackInfo.h"

namespace {

// The controller's properties that follow the movie clock, announced
// together whenever it follows another clock.
constexpr std::array<int32_t, 11> kClockBackedIds = {
    HcPlaybackController::kIsPlayingId,      HcPlaybackController::kIsLoopingId,
    HcPlaybackController::kRateId,           HcPlaybackController::kSelectionOnlyId,
    HcPlaybackController::kPositionId,       HcPlaybackController::kDurationId,
    HcPlaybackController::kSelectionStartId, HcPlaybackController::kSelectionEndId,
    HcPlaybackController::kShowInOutPointsId, HcPlaybackController::kInPointId,
    HcPlaybackController::kOutPointId,
};

// The clock properties the controller observes, in the order it registers.
constexpr std::array<int32_t, 7> kObservedClockIds = {
    HcMovieClock::kIsLoopingId,      HcMovieClock::kRateId,         HcMovieClock::kSelectionOnlyId,
    HcClock::kTimeNowId,             HcMovieClock::kDurationId,     HcMovieClock::kSelectionStartId,
    HcMovieClock::kSelectionEndId,
};

// The clock's own announcement and the controller's that mirrors it.
std::optional<int32_t> MirroredId(int32_t clockId) {
  switch (clockId) {
    case HcClock::kTimeNowId: return HcPlaybackController::kPositionId;
    case HcMovieClock::kDurationId: return HcPlaybackController::kDurationId;
    case HcMovieClock::kSelectionStartId: return HcPlaybackController::kSelectionStartId;
    case HcMovieClock::kSelectionEndId: return HcPlaybackController::kSelectionEndId;
    case HcMovieClock::kIsLoopingId: return HcPlaybackController::kIsLoopingId;
    case HcMovieClock::kSelectionOnlyId: return HcPlaybackController::kSelectionOnlyId;
    default: return std::nullopt;
  }
}

// Exclusive use of a clock's movie while it lives.
class MovieHold {
 public:
  MovieHold(const KsRef<HcMovieClock>& clock, int32_t timeoutMs) {
    KsRef<KsObject> arbiter = clock ? clock->GetMovieArb() : KsRef<KsObject>();
    auto* arbiterFace = dynamic_cast<MovieArbiterInterface*>(arbiter.Get());
    if (!arbiterFace) return;
    m_token = arbiterFace->WaitForMovieToken(timeoutMs);
    if (auto* tokenFace = dynamic_cast<MovieTokenInterface*>(m_token.Get())) m_movie = tokenFace->GetMovie();
  }
  hc::playback::Movie* Movie() const { return m_movie; }

 private:
  KsRef<KsObject> m_token;
  hc::playback::Movie* m_movie = nullptr;
};

}  // namespace

HcPlaybackController::HcPlaybackController() = default;

// Observers are held weakly: the context and the clock forget this
// controller by themselves once it is gone.
HcPlaybackController::~HcPlaybackController() = default;

KsRef<HcContextHelper> HcPlaybackController::GetContextHelper() const {
  WeakRef::Ref weak;
  {
    std::lock_guard lock(m_lock);
    weak = m_context;
  }
  return weak ? weak->GetTargetAs<HcContextHelper>() : KsRef<HcContextHelper>();
}

KsRef<HcMovieClock> HcPlaybackController::ObservedClock() const {
  std::lock_guard lock(m_lock);
  return m_observedClock;
}

KsRef<HcMovieClock> HcPlaybackController::GetMovieClock() const {
  KsRef<HcContextHelper> context = GetContextHelper();
  if (!context) return {};
  return context->GetMovieClock().DynamicCast<HcMovieClock>();
}

eAppErr HcPlaybackController::SetContextHelper(const KsRef<HcContextHelper>& context) {
  DidChangeCaller change(this, kContextHelperId);
  KsRef<HcContextHelper> old = GetContextHelper();
  {
    std::lock_guard lock(m_lock);
    m_context = context ? WeakRef::GetWeakRef(context.Get()) : WeakRef::Ref();
  }
  if (old && old != context) old->RemoveObserverForId(ThisRef(), HcContextHelper::kMovieClockId);
  if (context && context != old) context->AddObserverForId(ThisRef(), HcContextHelper::kMovieClockId, 0);
  // Also without a new context: the old context's clock is no longer followed.
  AttachToMovieClock();
  return AppErr::kNoErr;
}

void HcPlaybackController::AttachToMovieClock() {
  std::array<std::optional<DidChangeCaller>, kClockBackedIds.size()> changes;
  for (size_t i = 0; i < kClockBackedIds.size(); ++i) changes[i].emplace(this, kClockBackedIds[i]);
  m_lastRate = 0.0f;
  KsRef<HcMovieClock> clock = GetMovieClock();
  KsRef<HcMovieClock> old;
  {
    std::lock_guard lock(m_lock);
    old = m_observedClock;
    m_observedClock = clock;
  }
  if (old && old != clock) old->RemoveObserverForId(ThisRef(), 0);
  if (clock && clock != old) {
    for (int32_t id : kObservedClockIds) clock->AddObserverForId(ThisRef(), id, 0);
  }
  if (clock) ApplyVolume(clock, "Failed to get movie token");
}

void HcPlaybackController::ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                                                 const KsRef<KsObject>& description) {
  if (!object || !property) return KsObject::ObservePropertyChange(object, property, description);
  const int32_t id = property->GetPropertyID();
  if (object == KsRef<KsObject>(GetContextHelper())) {
    if (id == HcContextHelper::kMovieClockId) AttachToMovieClock();
    return;
  }
  if (object != KsRef<KsObject>(ObservedClock())) return;
  if (id == HcMovieClock::kRateId) {
    RateDidChange();
  } else if (std::optional<int32_t> mirrored = MirroredId(id)) {
    DidChangeCaller change(this, *mirrored);
  }
}

bool HcPlaybackController::GetIsLooping() const {
  KsRef<HcMovieClock> clock = GetMovieClock();
  return clock && clock->GetIsLooping();
}

eAppErr HcPlaybackController::SetIsLooping(bool looping) {
  KsRef<HcMovieClock> clock = GetMovieClock();
  if (!clock) return AppErr::kNoErr;
  DidChangeCaller change(this, kIsLoopingId);
  return clock->SetIsLooping(looping);
}

eAppErr HcPlaybackController::SetIsScrubbing(bool scrubbing) {
  if (scrubbing == m_isScrubbing) return AppErr::kNoErr;
  DidChangeCaller change(this, kIsScrubbingId);
  m_isScrubbing = scrubbing;
  if (scrubbing) {
    m_scrubRate = GetRate();
    SetRate(0.0f);
  } else {
    SetRate(m_scrubRate);
  }
  return AppErr::kNoErr;
}

float HcPlaybackController::GetRate() const {
  KsRef<HcMovieClock> clock = GetMovieClock();
  return clock ? clock->GetRate() : 0.0f;
}

// The clock's own notice comes back through observation.
eAppErr HcPlaybackController::SetRate(float rate) {
  KsRef<HcMovieClock> clock = GetMovieClock();
  return clock ? clock->SetRate(rate) : AppErr::kNoErr;
}

bool HcPlaybackController::GetSelectionOnly() const {
  KsRef<HcMovieClock> clock = GetMovieClock();
  return clock && clock->GetSelectionOnly();
}

eAppErr HcPlaybackController::SetSelectionOnly(bool selectionOnly) {
  KsRef<HcMovieClock> clock = GetMovieClock();
  if (!clock) return AppErr::kNoErr;
  DidChangeCaller change(this, kSelectionOnlyId);
  return clock->SetSelectionOnly(selectionOnly);
}

eAppErr HcPlaybackController::SetMuted(bool muted) {
  DidChangeCaller change(this, kMutedId);
  m_muted = muted;
  return SetVolume(m_volume);
}

eAppErr HcPlaybackController::SetVolume(float volume) {
  DidChangeCaller change(this, kVolumeId);
  m_volume = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
  if (KsRef<HcMovieClock> clock = GetMovieClock()) ApplyVolume(clock, "Failed to get movie token to set volume");
  return AppErr::kNoErr;
}

int32_t HcPlaybackController::MovieVolumeValue(float volume, bool muted) {
  const auto level = static_cast<int32_t>(std::trunc(std::clamp(volume, 0.0f, 1.0f) * 255.0f + 0.5f));
  return muted ? -level : level;
}

void HcPlaybackController::ApplyVolume(const KsRef<HcMovieClock>& clock, const char* failure) {
  MovieHold hold(clock, kMovieTokenTimeoutMs);
  if (!hold.Movie()) {
    KS_TRACE(KsTrace::kError, "%s", failure);
    return;
  }
  const int32_t value = MovieVolumeValue(m_volume, m_muted);
  hold.Movie()->SetVolume(static_cast<float>(std::abs(value)) / 255.0f);
  hold.Movie()->SetMuted(m_muted);
}

double HcPlaybackController::GetPosition() const {
  KsRef<HcMovieClock> clock = GetMovieClock();
  // The clock reads -1 until it has seen its movie once.
  return clock ? std::max(0.0, clock->GetTimeNow()) : 0.0;
}

eAppErr HcPlaybackController::SetPosition(double seconds) {
  KsRef<HcMovieClock> clock = GetMovieClock();
  if (!clock) return AppErr::kNoErr;
  DidChangeCaller change(this, kPositionId);
  return clock->SetTimeNow(seconds);
}

double HcPlaybackController::GetDuration() const {
  KsRef<HcMovieClock> clock = GetMovieClock();
  return clock ? clock->GetDuration() : 0.0;
}

double HcPlaybackController::GetSelectionStart() const {
  KsRef<HcMovieClock> clock = GetMovieClock();
  return clock ? clock->GetSelectionStart() : 0.0;
}

eAppErr HcPlaybackController::SetSelectionStart(double seconds) {
  KsRef<HcMovieClock> clock = GetMovieClock();
  if (!clock) return AppErr::kNoErr;
  DidChangeCaller change(this, kSelectionStartId);
  return clock->SetSelectionStart(seconds);
}

double HcPlaybackController::GetSelectionEnd() const {
  KsRef<HcMovieClock> clock = GetMovieClock();
  return clock ? clock->GetSelectionEnd() : 0.0;
}

eAppErr HcPlaybackController::SetSelectionEnd(double seconds) {
  KsRef<HcMovieClock> clock = GetMovieClock();
  if (!clock) return AppErr::kNoErr;
  DidChangeCaller change(this, kSelectionEndId);
  return clock->SetSelectionEnd(seconds);
}

bool HcPlaybackController::GetShowInOutPoints() { return false; }
double HcPlaybackController::GetInPoint() { return GetSelectionStart(); }
eAppErr HcPlaybackController::SetInPoint(double seconds) { return SetSelectionStart(seconds); }
double HcPlaybackController::GetOutPoint() { return GetSelectionEnd(); }
eAppErr HcPlaybackController::SetOutPoint(double seconds) { return SetSelectionEnd(seconds); }

void HcPlaybackController::RateDidChange() {
  DidChangeCaller rateChange(this, kRateId);
  const float rate = GetRate();
  const float last = m_lastRate.exchange(rate);
  std::optional<DidChangeCaller> playingChange;
  if ((last == 0.0f) != (rate == 0.0f)) playingChange.emplace(this, kIsPlayingId);
  if (rate == 0.0f) SetSelectionOnly(false);
}

eAppErr HcPlaybackController::SetTweensActive(bool active) {
  DidChangeCaller change(this, kTweensActiveId);
  m_tweensActive = active;
  KsRef<HcContextHelper> context = GetContextHelper();
  KsRef<PanoSource> source = context ? context->GetSource() : KsRef<PanoSource>();
  KsRef<HcTweenCollection> tweens =
      source ? source->GetTweens().DynamicCast<HcTweenCollection>() : KsRef<HcTweenCollection>();
  for (uint32_t i = 0; tweens && i < tweens->GetCount(); ++i) {
    if (KsRef<HcTween> tween = tweens->GetByIndex(i)) tween->SetEnabled(active);
  }
  if (KsRef<QTSystemClock> shared = QTSystemClock::GetSharedClock()) shared->SetUseIdleTransition(active);
  return AppErr::kNoErr;
}

eAppErr HcPlaybackController::TogglePlay() {
  if (GetRate() == 0.0f) return SetRate(1.0f);
  SetSelectionOnly(false);
  return SetRate(0.0f);
}

eAppErr HcPlaybackController::PlaySelection() {
  SetSelectionOnly(true);
  SetRate(1.0f);
  return AppErr::kNoErr;
}

eAppErr HcPlaybackController::PlayAroundCurrentPosition() {
  if (!GetMovieClock()) return AppErr::kNoErr;
  const double position = GetPosition();
  const double start = std::max(position - kPlayAroundSeconds, 0.0);
  const double end = std::min(position + kPlayAroundSeconds, GetDuration());
  SetSelectionStart(start);
  SetPosition(start);
  SetSelectionEnd(end);
  SetSelectionOnly(true);
  SetIsLooping(true);
  SetRate(1.0f);
  return AppErr::kNoErr;
}

eAppErr HcPlaybackController::ToggleIsLooping() { return SetIsLooping(!GetIsLooping()); }
eAppErr HcPlaybackController::ToggleMuted() { return SetMuted(!m_muted); }

eAppErr HcPlaybackController::IncreaseVolume() {
  if (m_muted) return SetMuted(false);
  return SetVolume(m_volume + kVolumeStep);
}

eAppErr HcPlaybackController::DecreaseVolume() {
  if (m_volume <= kVolumeStep) return SetMuted(true);
  return SetVolume(m_volume - kVolumeStep);
}

eAppErr HcPlaybackController::GotoBeginning() { return SetPosition(0.0); }
eAppErr HcPlaybackController::GotoEnd() { return SetPosition(GetDuration()); }
eAppErr HcPlaybackController::GotoSelectionStart() { return SetPosition(GetSelectionStart()); }
eAppErr HcPlaybackController::GotoSelectionEnd() { return SetPosition(GetSelectionEnd()); }
eAppErr HcPlaybackController::StepForward() { return StepFrame(1); }
eAppErr HcPlaybackController::StepBackward() { return StepFrame(-1); }
eAppErr HcPlaybackController::FastForward(bool fine) { return SetRate(fine ? 0.5f : 2.0f); }
eAppErr HcPlaybackController::Rewind(bool fine) { return SetRate(fine ? -0.5f : -2.0f); }

int64_t HcPlaybackController::FrameStepTarget(int64_t units, int64_t frame, int direction) {
  if (frame <= 0) return units;
  int64_t offset = units % frame;
  if (offset < 0) offset += frame;
  const int64_t frameStart = units - offset;
  return std::max<int64_t>(0, direction > 0 ? frameStart + frame : frameStart - frame);
}

eAppErr HcPlaybackController::StepFrame(int direction) {
  KsRef<HcMovieClock> clock = GetMovieClock();
  if (!clock) return AppErr::kNoErr;
  int32_t scale = 0;
  int64_t frame = 0;
  {
    MovieHold hold(clock, kMovieTokenTimeoutMs);
    if (!hold.Movie()) return AppErr::kNoErr;
    hc::playback::MovieTrackInfo track;
    if (!hold.Movie()->FirstVisualTrack(false, &track) || track.sampleCount == 0) return AppErr::kNoErr;
    scale = hold.Movie()->TimeScale();
    frame = std::llround(static_cast<double>(track.duration) / static_cast<double>(track.sampleCount));
  }
  // Without a frame length there is no grid to step on.
  if (scale <= 0 || frame <= 0) return AppErr::kNoErr;
  const double units = GetPosition() * scale;
  if (!std::isfinite(units) || std::fabs(units) >= 9.0e18) return AppErr::kNoErr;
  const int64_t target = FrameStepTarget(std::llround(units), frame, direction);
  return SetPosition(static_cast<double>(target) / scale);
}
