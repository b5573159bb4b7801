#include "QuickTime/QTMovieToken.h"

#include "QuickTime/QTMovieArbiter.h"
#include "Source/SourceErr.h"

QTMovieToken::QTMovieToken() = default;

// The object model has cleared this token's weak reference by now; the
// arbiter forgets it and wakes one waiting thread.
QTMovieToken::~QTMovieToken() {
  if (m_attachesToThread) DetachMovieFromCurrentThread();
  if (m_arbiter) m_arbiter->TokenDied(this);
  m_arbiter = nullptr;
}

hc::playback::Movie* QTMovieToken::GetMovie() {
  if (!m_arbiter || !m_arbiter->GetMovie()) return nullptr;
  if (m_attachesToThread && AppErrFailed(AttachMovieToCurrentThread())) return nullptr;
  return m_arbiter->GetMovie();
}

hc::playback::Movie* QTMovieToken::GetMovieController() {
  return m_arbiter ? m_arbiter->GetMovieController() : nullptr;
}

eAppErr QTMovieToken::UpdateMovieInStorage() {
  if (!m_arbiter) return KS_TRACE_ERR(AppErr::kNotReady, "UpdateMovieInStorage");
  return m_arbiter->UpdateMovieInStorage();
}

// A movie already tied to the calling thread counts as attached.
eAppErr QTMovieToken::AttachMovieToCurrentThread() {
  if (!m_arbiter || !m_arbiter->GetMovie()) return KS_TRACE_ERR(AppErr::kNotReady, "AttachMovieToCurrentThread");
  switch (m_arbiter->AttachToCurrentThread()) {
    case QTMovieArbiter::AttachState::kNone:
    case QTMovieArbiter::AttachState::kCallingThread:
      return AppErr::kNoErr;
    case QTMovieArbiter::AttachState::kOtherThread:
      break;
  }
  return KS_TRACE_ERR(AppErr::kMovieOtherThread, "AttachMovieToCurrentThread");
}

eAppErr QTMovieToken::DetachMovieFromCurrentThread() {
  if (!m_arbiter || !m_arbiter->GetMovie()) return KS_TRACE_ERR(AppErr::kNotReady, "DetachMovieFromCurrentThread");
  switch (m_arbiter->DetachFromCurrentThread()) {
    case QTMovieArbiter::AttachState::kCallingThread:
      return AppErr::kNoErr;
    case QTMovieArbiter::AttachState::kOtherThread:
      return KS_TRACE_ERR(AppErr::kMovieOtherThread, "DetachMovieFromCurrentThread");
    case QTMovieArbiter::AttachState::kNone:
      break;
  }
  return KS_TRACE_ERR(AppErr::kMovieAttach, "DetachMovieFromCurrentThread");
}

eAppErr QTMovieToken::SetArbiter(const KsRef<QTMovieArbiter>& arbiter) {
  if (m_arbiter) return KS_TRACE_ERR(AppErr::kAlreadyAssigned, "SetArbiter");
  DidChangeCaller change(this, kArbiterId);
  m_arbiter = arbiter;
  return AppErr::kNoErr;
}

eAppErr QTMovieToken::SetAttachesToThread(bool attaches) {
  DidChangeCaller change(this, kAttachesToThreadId);
  m_attachesToThread = attaches;
  return AppErr::kNoErr;
}
