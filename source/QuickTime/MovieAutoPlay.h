#pragma once

#include <cstdint>

namespace hc::movfile {
class MovUserData;
}
namespace hc::playback {
class Movie;
}

// Whether the player starts a movie when its window opens: the first byte
// of the movie's 'play' user-data item. 0 when there is no movie, no user
// data, no such item or the item is empty; the movie file is read for it.
uint8_t GetMovieAutoPlayFlag(const hc::playback::Movie* movie);
uint8_t GetMovieAutoPlayFlag(const hc::movfile::MovUserData& userData);
