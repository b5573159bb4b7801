#pragma once

#include <cstdint>

#include "General/KsObject.h"

namespace hc::playback {
class Movie;
}

// What the movie clock needs of a movie's arbiter: exclusive use of the
// movie, one thread at a time, through a token. The arbiter is a model
// object that also implements this interface; its tokens are counted objects
// that implement MovieTokenInterface, and the movie is theirs to use while
// they are held.
class MovieTokenInterface {
 public:
  // The movie (which also plays the movie controller's part), or null.
  virtual hc::playback::Movie* GetMovie() = 0;

 protected:
  ~MovieTokenInterface() = default;
};

class MovieArbiterInterface {
 public:
  // A token, waiting at most timeoutMs milliseconds (0: not at all, less
  // than 0: without limit); empty when another thread keeps the movie. The
  // thread that holds the live token gets it again.
  virtual KsRef<KsObject> WaitForMovieToken(int32_t timeoutMs) = 0;

 protected:
  ~MovieArbiterInterface() = default;
};
