#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Time/MovieArbiterInterface.h"

class QTMovieArbiter;

// The right to use an arbiter's movie, held by one user at a time. Whoever
// asked for it holds it counted and drops it when done; the token's death
// hands the movie on to the next waiting thread.
class QTMovieToken : public KsObject, public MovieTokenInterface {
  HC_CLASS_HEADER(QTMovieToken)
 public:
  enum : int32_t { kArbiterId = 200, kAttachesToThreadId = 201 };

  QTMovieToken();
  ~QTMovieToken() override;

  // The arbiter's movie; none without an arbiter or movie, or when the token
  // attaches to the thread and the movie is attached to another thread.
  hc::playback::Movie* GetMovie() override;
  // The movie also plays the movie controller's part.
  hc::playback::Movie* GetMovieController();
  eAppErr UpdateMovieInStorage();
  eAppErr AttachMovieToCurrentThread();
  eAppErr DetachMovieFromCurrentThread();

  KsRef<QTMovieArbiter> GetArbiter() const { return m_arbiter; }
  // -904 once an arbiter is set.
  eAppErr SetArbiter(const KsRef<QTMovieArbiter>& arbiter);
  bool GetAttachesToThread() const { return m_attachesToThread; }
  eAppErr SetAttachesToThread(bool attaches);

 private:
  KsRef<QTMovieArbiter> m_arbiter;
  bool m_attachesToThread = false;
};
HC_CLASS_OBJECT(QTMovieToken, KsObject)
