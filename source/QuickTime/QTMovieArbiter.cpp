#include "QuickTime/QTMovieArbiter.h"

#include <chrono>
#include <vector>

#include "General/HcClassMap.h"
#include "QuickTime/MovieLayerErr.h"
#include "QuickTime/QTMovieToken.h"
#include "QuickTime/QuickTimeHelpers.h"
#include "Utilities/HcProperty.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFileIo.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/playback/Movie.h"

namespace {

// The header of an empty movie: a 'moov' atom holding only its 'mvhd'.
std::vector<uint8_t> EmptyMovieHeader(uint32_t timeScale, uint32_t duration) {
  using hc::movfile::MovFourCC;
  constexpr uint32_t kMvhdPayload = 100;
  std::vector<uint8_t> bytes;
  hc::movfile::MovByteWriter out(bytes);
  out.AtomHeader(MovFourCC("moov"), 8 + 8 + kMvhdPayload);
  out.AtomHeader(MovFourCC("mvhd"), 8 + kMvhdPayload);
  out.U32(0);  // version and flags
  out.U32(0);  // creation time
  out.U32(0);  // modification time
  out.U32(timeScale);
  out.U32(duration);
  out.U32(0x00010000);  // preferred rate 1.0
  out.U16(0x0100);      // preferred volume 1.0
  for (int i = 0; i < 10; ++i) out.U8(0);
  const uint32_t identity[9] = {0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000};
  for (uint32_t value : identity) out.U32(value);
  for (int i = 0; i < 6; ++i) out.U32(0);  // preview, poster, selection and current times
  out.U32(1);                              // next track id
  return bytes;
}

eAppErr WriteMovieFile(const std::string& path, const hc::playback::Movie& movie) {
  hc::movfile::MovFileIo io;
  hc::movfile::MovErr err = io.Open(path, hc::movfile::MovFileIo::Mode::Create);
  const int64_t duration = movie.Duration();
  const std::vector<uint8_t> header =
      EmptyMovieHeader(static_cast<uint32_t>(movie.TimeScale()),
                       duration > 0 && duration <= INT32_MAX ? static_cast<uint32_t>(duration) : 0);
  if (err == hc::movfile::MovErr::Ok) err = io.WriteAt(0, header.data(), header.size());
  if (err == hc::movfile::MovErr::Ok) err = io.Truncate(header.size());
  if (err == hc::movfile::MovErr::Ok) err = io.Sync();
  return AppErrFromMovErr(err);
}

}  // namespace

QTMovieArbiter::QTMovieArbiter() = default;

QTMovieArbiter::~QTMovieArbiter() {
  DisposeMovie();
  m_clock = nullptr;
}

void QTMovieArbiter::DisposeMovie() {
  if (m_ownMovie && m_movie) delete m_movie;
  m_movie = nullptr;
}

KsRef<QTMovieToken> QTMovieArbiter::MakeTokenLocked() {
  auto token = KsMakeRef<QTMovieToken>();
  token->SetArbiter(KsRef<QTMovieArbiter>(this));
  token->SetAttachesToThread(m_attachesToThread);
  m_liveToken = token.Get();
  m_ownerThread = std::this_thread::get_id();
  return token;
}

KsRef<QTMovieToken> QTMovieArbiter::WaitForToken(int32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
  std::unique_lock lock(m_mutex);
  for (;;) {
    // A token whose count already reached zero is dying: it clears itself
    // under this mutex in a moment and no longer counts as live.
    if (!m_liveToken || !m_liveToken->TryRetain()) return MakeTokenLocked();
    KsRef<QTMovieToken> live = KsRef<QTMovieToken>::Adopt(m_liveToken);
    if (m_ownerThread == std::this_thread::get_id()) return live;
    // Another thread keeps the movie. Our extra count must not be the last
    // one to go while the mutex is held (the token's death takes it), so it
    // is dropped with the mutex released.
    lock.unlock();
    live = nullptr;
    lock.lock();
    if (timeoutMs == 0) {
      if (m_liveToken) return {};
      continue;
    }
    if (!m_liveToken) continue;
    if (timeoutMs < 0) {
      m_tokenDied.wait(lock);
    } else if (m_tokenDied.wait_until(lock, deadline) == std::cv_status::timeout && m_liveToken) {
      return {};
    }
  }
}

KsRef<KsObject> QTMovieArbiter::WaitForMovieToken(int32_t timeoutMs) { return WaitForToken(timeoutMs); }

void QTMovieArbiter::TokenDied(QTMovieToken* token) {
  std::lock_guard lock(m_mutex);
  if (m_liveToken == token) m_liveToken = nullptr;
  m_tokenDied.notify_one();
}

KsRef<KsObject> QTMovieArbiter::GetClock() {
  std::lock_guard lock(m_clockMutex);
  if (!m_clock) {
    KsRef<KsObject> clock = MakeObject<KsObject>("HcMovieClock");
    if (!clock) return {};
    if (KsRef<HcProperty> arb = clock->GetClassObject()->FindProperty("MovieArb")) {
      arb->SetValue(clock.Get(), KsRef<KsObject>(this));
    }
    m_clock = clock;
  }
  return m_clock;
}

eAppErr QTMovieArbiter::OpenMovieAtPath(const PWStringRef& path, bool) {
  if (!path) return KS_TRACE_ERR(AppErr::kBadArgument, "OpenMovieAtPath");
  hc::playback::DataReference reference;
  hc::playback::PlaybackErr err = hc::playback::DataReference::FromPath(path.Str(), &reference);
  std::unique_ptr<hc::playback::Movie> movie;
  if (err == hc::playback::PlaybackErr::Ok) err = hc::playback::Movie::Open(reference, &movie);
  if (err != hc::playback::PlaybackErr::Ok) {
    KS_TRACE(KsTrace::kError, "Error %d while opening movie at path %@", hc::playback::PlaybackErrCode(err),
             path);
    return KS_TRACE_ERR(AppErrFromPlaybackErr(err), "OpenMovieAtPath");
  }
  m_movie = movie.release();
  m_ownMovie = true;
  return AppErr::kNoErr;
}

eAppErr QTMovieArbiter::CreateMovieAtPath(const PWStringRef& path, bool) {
  if (!path || path.Str().empty()) return KS_TRACE_ERR(AppErr::kBadArgument, "CreateMovieAtPath");
  hc::playback::DataReference reference;
  uint32_t type = 0;
  eAppErr err = AppErrFromOSErr(MakeDataRefFromPWStringPath(path, &reference, &type));
  std::unique_ptr<hc::playback::Movie> movie = QuickTimeHelpers::CreateEmptyMovie();
  if (!AppErrFailed(err) && !movie) err = AppErr::kOutOfMemory;
  if (!AppErrFailed(err)) err = WriteMovieFile(reference.Text(), *movie);
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kError, "Error %d while creating new movie at path %@", err, path);
    return KS_TRACE_ERR(err, "CreateMovieAtPath");
  }
  m_storagePath = reference.Text();
  m_movie = movie.release();
  m_ownMovie = true;
  return AppErr::kNoErr;
}

eAppErr QTMovieArbiter::CreateMovieInMemory(bool) {
  std::unique_ptr<hc::playback::Movie> movie = QuickTimeHelpers::CreateEmptyMovie();
  if (!movie) return KS_TRACE_ERR(AppErr::kOutOfMemory, "CreateMovieInMemory");
  m_movie = movie.release();
  m_ownMovie = true;
  return AppErr::kNoErr;
}

eAppErr QTMovieArbiter::UpdateMovieInStorage() {
  eAppErr err = AppErr::kNoErr;
  if (!m_movie || m_storagePath.empty()) {
    err = AppErr::kNotReady;
  } else {
    err = WriteMovieFile(m_storagePath, *m_movie);
  }
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kError, "UpdateMovieInStorage() returned error %ld", static_cast<long>(err));
    return KS_TRACE_ERR(err, "UpdateMovieInStorage");
  }
  return err;
}

eAppErr QTMovieArbiter::SetQuickTimeMovie(void* movie) {
  if (m_movie) return KS_TRACE_ERR(AppErr::kAlreadyAssigned, "SetQuickTimeMovie");
  DidChangeCaller change(this, kQuickTimeMovieId);
  m_movie = static_cast<hc::playback::Movie*>(movie);
  return AppErr::kNoErr;
}

eAppErr QTMovieArbiter::SetOwnMovie(bool own) {
  DidChangeCaller change(this, kOwnMovieId);
  m_ownMovie = own;
  return AppErr::kNoErr;
}

eAppErr QTMovieArbiter::SetAttachesToThread(bool attaches) {
  DidChangeCaller change(this, kAttachesToThreadId);
  m_attachesToThread = attaches;
  return AppErr::kNoErr;
}

QTMovieArbiter::AttachState QTMovieArbiter::GetAttachState() const {
  std::lock_guard lock(m_attachMutex);
  if (m_attachedThread == std::thread::id()) return AttachState::kNone;
  return m_attachedThread == std::this_thread::get_id() ? AttachState::kCallingThread : AttachState::kOtherThread;
}

QTMovieArbiter::AttachState QTMovieArbiter::AttachToCurrentThread() {
  std::lock_guard lock(m_attachMutex);
  if (m_attachedThread == std::thread::id()) {
    m_attachedThread = std::this_thread::get_id();
    return AttachState::kNone;
  }
  return m_attachedThread == std::this_thread::get_id() ? AttachState::kCallingThread : AttachState::kOtherThread;
}

QTMovieArbiter::AttachState QTMovieArbiter::DetachFromCurrentThread() {
  std::lock_guard lock(m_attachMutex);
  if (m_attachedThread == std::thread::id()) return AttachState::kNone;
  if (m_attachedThread != std::this_thread::get_id()) return AttachState::kOtherThread;
  m_attachedThread = std::thread::id();
  return AttachState::kCallingThread;
}
