#include "QuickTime/MovieAutoPlay.h"

#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/playback/Movie.h"

uint8_t GetMovieAutoPlayFlag(const hc::movfile::MovUserData& userData) {
  const std::span<const uint8_t> item = userData.ItemPayload(hc::movfile::MovFourCC("play"), 1);
  return item.empty() ? 0 : item[0];
}

uint8_t GetMovieAutoPlayFlag(const hc::playback::Movie* movie) {
  if (!movie || !movie->Reference().IsFile()) return 0;
  hc::movfile::MovFile file;
  if (file.OpenForRead(movie->Reference().Text()) != hc::movfile::MovErr::Ok) return 0;
  return GetMovieAutoPlayFlag(file.UserData());
}
