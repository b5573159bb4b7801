#include "Time/HcMovieClock.h"

#include <cmath>
#include <limits>

#include "KsTrace.h"
#include "Time/HcTimeScale.h"
#include "Time/MovieArbiterInterface.h"
#include "platform/playback/Movie.h"

using hc::playback::Movie;
using hc::playback::PlaybackErr;

namespace {

constexpr double kFixedOne = 65536.0;

int32_t ToFixed(double value) {
  const double scaled = std::round(value * kFixedOne);
  if (scaled >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  if (scaled <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(scaled);
}

double FromFixed(int32_t value) { return static_cast<double>(value) / kFixedOne; }

double ToSeconds(int64_t value, int32_t scale) {
  return scale > 0 ? static_cast<double>(value) / static_cast<double>(scale) : 0.0;
}

}  // namespace

// A token on the movie and the movie it gives, for one operation.
class HcMovieClock::MovieAccess {
 public:
  KsRef<KsObject> token;
  Movie* movie = nullptr;
  explicit operator bool() const { return movie != nullptr; }
  Movie* operator->() const { return movie; }
};

// Passes the movie's actions to the clock while it lives.
struct HcMovieClock::ActionRelay {
  static void Deliver(const WeakRef::Ref& weak, Movie* movie, const Movie::Action& action) {
    KsRef<HcMovieClock> clock = weak ? weak->GetTargetAs<HcMovieClock>() : KsRef<HcMovieClock>();
    if (!clock || clock->m_filteredMovie.load() != movie) return;
    switch (action.kind) {
      case Movie::Action::Kind::Play: {
        DidChangeCaller change(clock.Get(), kRateId);
        clock->m_rate.store(ToFixed(action.rate));
        KS_TRACE(KsTrace::kVerbose, "mcActionPlay; rate=%f (%i)", action.rate, ToFixed(action.rate));
        break;
      }
      case Movie::Action::Kind::GoToTime: {
        DidChangeCaller change(clock.Get(), kTimeNowId);
        KS_TRACE(KsTrace::kVerbose, "MCACtionFilter: mcActionGoToTime: %i / %i",
                 static_cast<int>(static_cast<uint32_t>(action.time)), movie->TimeScale());
        break;
      }
      case Movie::Action::Kind::Finished: {
        DidChangeCaller change(clock.Get(), kRateId);
        KS_TRACE(KsTrace::kVerbose, "mcActionMovieFinished");
        break;
      }
      case Movie::Action::Kind::Status:
        KS_TRACE(KsTrace::kVerbose, "MCActionFilter: QTStatus: %s", action.status.c_str());
        break;
    }
  }
};

HcMovieClock::HcMovieClock() = default;
HcMovieClock::~HcMovieClock() = default;

HcMovieClock::MovieAccess HcMovieClock::Access(int32_t timeoutMs) const {
  MovieAccess access;
  KsRef<KsObject> arbiter = GetMovieArb();
  auto* source = dynamic_cast<MovieArbiterInterface*>(arbiter.Get());
  if (!source) return access;
  access.token = source->WaitForMovieToken(timeoutMs);
  if (auto* token = dynamic_cast<MovieTokenInterface*>(access.token.Get())) access.movie = token->GetMovie();
  if (access.movie) InstallActionFilter(access.movie);
  return access;
}

void HcMovieClock::InstallActionFilter(Movie* movie) const {
  if (m_filteredMovie.exchange(movie) == movie) return;
  WeakRef::Ref weak = WeakRef::GetWeakRef(const_cast<HcMovieClock*>(this));
  movie->SetActionCallback(
      [weak, movie](const Movie::Action& action) { ActionRelay::Deliver(weak, movie, action); });
}

eAppErr HcMovieClock::Update(int32_t maxMilliseconds) {
  {
    MovieAccess access = Access(0);
    if (access) {
      access->Task(maxMilliseconds);
      const double t = ToSeconds(access->Time(), access->TimeScale());
      if (t != m_lastTime.load()) {
        DidChangeCaller change(this, kTimeNowId);
        m_lastTime.store(t);
      }
    }
  }
  return HcClock::Idle();
}

eAppErr HcMovieClock::SetTimeNow(double seconds) {
  DidChangeCaller change(this, kTimeNowId);
  MovieAccess access = Access(-1);
  if (!access) return KS_TRACE_ERR(AppErr::kNotReady, "SetTimeNow");
  const double value = static_cast<double>(access->TimeScale()) * seconds + 0.5;
  if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return KS_TRACE_ERR(AppErr::kBadArgument, "SetTimeNow");
  access->SetTime(static_cast<int64_t>(value));
  // The token is still held: the update gets it again without waiting.
  Update(kSeekMilliseconds);
  return AppErr::kNoErr;
}

KsRef<KsObject> HcMovieClock::GetMovieArb() const {
  WeakRef::Ref weak;
  {
    KsSpinLockGuard guard(m_arbiterLock);
    weak = m_movieArb;
  }
  return weak ? weak->GetTargetAs<KsObject>() : KsRef<KsObject>();
}

eAppErr HcMovieClock::SetMovieArb(const KsRef<KsObject>& arbiter) {
  DidChangeCaller change(this, kMovieArbId);
  if (arbiter && !dynamic_cast<MovieArbiterInterface*>(arbiter.Get())) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "SetMovieArb");
  }
  WeakRef::Ref weak = WeakRef::GetWeakRef(arbiter.Get());
  {
    KsSpinLockGuard guard(m_arbiterLock);
    m_movieArb.Assign(weak.Get());
  }
  m_filteredMovie.store(nullptr);
  return AppErr::kNoErr;
}

float HcMovieClock::GetRate() const {
  if (!GetMovieArb()) return 0.0f;
  return static_cast<float>(FromFixed(m_rate.load()));
}

eAppErr HcMovieClock::SetRate(double rate) {
  if (!std::isfinite(rate)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetRate");
  MovieAccess access = Access(-1);
  if (!access) return KS_TRACE_ERR(AppErr::kNotReady, "SetRate");
  const int32_t fixed = ToFixed(rate);
  if (fixed == 0) {
    access->SetRate(0.0);
    m_prerollPending.store(false);
    m_rate.store(0);
    return AppErr::kNoErr;
  }
  m_rate.store(fixed);
  // A pending start plays at the new rate when it completes.
  if (m_prerollPending.exchange(true)) return AppErr::kNoErr;
  WeakRef::Ref weak = WeakRef::GetWeakRef(this);
  Movie* movie = access.movie;
  movie->PrePreroll(movie->Time(), FromFixed(fixed), [weak, movie](PlaybackErr error) {
    if (KsRef<HcMovieClock> clock = weak ? weak->GetTargetAs<HcMovieClock>() : KsRef<HcMovieClock>()) {
      clock->PrePrerollComplete(movie, static_cast<int>(error));
    }
  });
  return AppErr::kNoErr;
}

void HcMovieClock::PrePrerollComplete(Movie* movie, int error) {
  KS_TRACE(KsTrace::kVerbose, "PrePrerollComplete(0x%p, %i)", static_cast<void*>(movie), error);
  if (error != 0) {
    KS_TRACE(KsTrace::kError, "PrePreroll returned error : %i", error);
  } else {
    const double rate = FromFixed(m_rate.load());
    const PlaybackErr prerolled = movie->Preroll(movie->Time(), rate);
    if (prerolled != PlaybackErr::Ok) {
      KS_TRACE(KsTrace::kError, "Error %i in preroll movie", hc::playback::PlaybackErrCode(prerolled));
    }
    movie->SetRate(rate);
  }
  m_prerollPending.store(false);
}

double HcMovieClock::GetDuration() const {
  MovieAccess access = Access(-1);
  if (!access) return 0.0;
  return ToSeconds(access->Duration(), access->TimeScale());
}

double HcMovieClock::GetSelectionStart() const {
  MovieAccess access = Access(-1);
  if (!access) return 0.0;
  int64_t start = 0, duration = 0;
  access->GetSelection(&start, &duration);
  return ToSeconds(start, access->TimeScale());
}

double HcMovieClock::GetSelectionEnd() const {
  MovieAccess access = Access(-1);
  if (!access) return 0.0;
  int64_t start = 0, duration = 0;
  access->GetSelection(&start, &duration);
  return ToSeconds(start + duration, access->TimeScale());
}

eAppErr HcMovieClock::SetSelectionStart(double seconds) {
  MovieAccess access = Access(-1);
  if (!access) return KS_TRACE_ERR(AppErr::kNotReady, "SetSelectionStart");
  if (!std::isfinite(seconds)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetSelectionStart");
  int64_t oldStart = 0, oldDuration = 0;
  access->GetSelection(&oldStart, &oldDuration);
  const int64_t start = RoundToTimeCount(static_cast<double>(access->TimeScale()) * seconds);
  const int64_t end = oldStart + oldDuration;
  access->SetSelection(start, end > start ? end - start : 0);
  return AppErr::kNoErr;
}

eAppErr HcMovieClock::SetSelectionEnd(double seconds) {
  MovieAccess access = Access(-1);
  if (!access) return KS_TRACE_ERR(AppErr::kNotReady, "SetSelectionEnd");
  if (!std::isfinite(seconds)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetSelectionEnd");
  int64_t start = 0, oldDuration = 0;
  access->GetSelection(&start, &oldDuration);
  const int64_t end = RoundToTimeCount(static_cast<double>(access->TimeScale()) * seconds);
  access->SetSelection(start, end > start ? end - start : 0);
  return AppErr::kNoErr;
}

bool HcMovieClock::GetIsLooping() const {
  MovieAccess access = Access(-1);
  return access && access->IsLooping();
}

eAppErr HcMovieClock::SetIsLooping(bool looping) {
  MovieAccess access = Access(-1);
  if (!access) return KS_TRACE_ERR(AppErr::kNotReady, "SetIsLooping");
  access->SetLooping(looping);
  return AppErr::kNoErr;
}

bool HcMovieClock::GetSelectionOnly() const {
  MovieAccess access = Access(-1);
  return access && access->PlaysSelectionOnly();
}

eAppErr HcMovieClock::SetSelectionOnly(bool selectionOnly) {
  MovieAccess access = Access(-1);
  if (!access) return KS_TRACE_ERR(AppErr::kNotReady, "SetSelectionOnly");
  access->SetPlaySelectionOnly(selectionOnly);
  return AppErr::kNoErr;
}

eAppErr HcMovieClock::MakeRelativeTo(const KsRef<HcMovieClock>& other, int64_t offset) {
  MovieAccess mine = Access(-1);
  if (!mine) return KS_TRACE_ERR(AppErr::kNotReady, "MakeRelativeTo");
  if (!other) {
    mine->SetMasterTimeBase(nullptr, 0, mine->TimeScale());
    return AppErr::kNoErr;
  }
  MovieAccess theirs = other->Access(-1);
  if (!theirs) return KS_TRACE_ERR(AppErr::kNotReady, "MakeRelativeTo");
  // A movie can't follow itself.
  if (theirs.movie == mine.movie) return KS_TRACE_ERR(AppErr::kBadArgument, "MakeRelativeTo");
  mine->SetMasterTimeBase(theirs->GetTimeBase(), offset, theirs->TimeScale());
  return AppErr::kNoErr;
}
