#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "PWString.h"
#include "Time/MovieArbiterInterface.h"

class QTMovieToken;

// Owns (or wraps) the one movie that several threads share and hands it out
// one token at a time: the thread that made the live token gets the same
// token again, every other thread waits until it dies. Also opens, creates
// and stores the movie, and makes the movie clock through which the rest of
// the program reads and drives the movie's time.
//
// The hand-over is guarded by one mutex: the test for a live token, the wait
// and the making of the next token all happen under it, and a dying token
// clears itself and signals under it, so no release is lost between a
// waiter's test and its wait.
class QTMovieArbiter : public KsObject, public MovieArbiterInterface {
  HC_CLASS_HEADER(QTMovieArbiter)
 public:
  enum : int32_t { kQuickTimeMovieId = 200, kOwnMovieId = 201, kAttachesToThreadId = 202, kClockId = 203 };
  enum class AttachState { kNone, kCallingThread, kOtherThread };

  QTMovieArbiter();
  ~QTMovieArbiter() override;

  // timeoutMs > 0 waits at most that long, < 0 without limit, 0 not at all.
  KsRef<QTMovieToken> WaitForToken(int32_t timeoutMs);
  KsRef<KsObject> WaitForMovieToken(int32_t timeoutMs) override;

  hc::playback::Movie* GetMovie() const { return m_movie; }
  // The movie also plays the movie controller's part: none without a movie.
  hc::playback::Movie* GetMovieController() const { return m_movie; }
  // The movie clock, made by its class name on first use and given this
  // arbiter; none where no movie clock class is registered.
  KsRef<KsObject> GetClock();

  eAppErr OpenMovieAtPath(const PWStringRef& path, bool makeActive);
  // A new, empty movie stored in a new file at the path (an existing file
  // there is replaced).
  eAppErr CreateMovieAtPath(const PWStringRef& path, bool makeActive);
  eAppErr CreateMovieInMemory(bool makeActive);
  // Writes the movie's header into the file made by CreateMovieAtPath.
  eAppErr UpdateMovieInStorage();

  // The pointer form of "QuickTimeMovie": set only, -904 once a movie is set.
  eAppErr SetQuickTimeMovie(void* movie);
  bool GetOwnMovie() const { return m_ownMovie; }
  eAppErr SetOwnMovie(bool own);
  bool GetAttachesToThread() const { return m_attachesToThread; }
  eAppErr SetAttachesToThread(bool attaches);

  // Which thread the movie is tied to, for the tokens.
  AttachState GetAttachState() const;
  // Ties the movie to the calling thread when it is tied to none.
  AttachState AttachToCurrentThread();
  // Unties the movie when it is tied to the calling thread.
  AttachState DetachFromCurrentThread();

 private:
  friend class QTMovieToken;

  KsRef<QTMovieToken> MakeTokenLocked();
  // Called by a dying token.
  void TokenDied(QTMovieToken* token);
  void DisposeMovie();

  std::mutex m_mutex;
  std::condition_variable m_tokenDied;
  QTMovieToken* m_liveToken = nullptr;  // under m_mutex
  std::thread::id m_ownerThread;        // under m_mutex
  std::mutex m_clockMutex;
  KsRef<KsObject> m_clock;
  hc::playback::Movie* m_movie = nullptr;
  std::string m_storagePath;
  bool m_ownMovie = false;
  bool m_attachesToThread = false;
  mutable std::mutex m_attachMutex;
  std::thread::id m_attachedThread;  // default id: tied to no thread
};
HC_CLASS_OBJECT(QTMovieArbiter, KsObject)
