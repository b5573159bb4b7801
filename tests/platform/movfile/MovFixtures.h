#pragma once

#include <string>

#include "MovTestTools.h"

namespace movtest {

// Movies made once per test run with ffmpeg; tests copy them before writing.
struct MovFixtures {
  TempDir dir;
  std::string headerLast;   // three tracks, header after the media data
  std::string headerFirst;  // the same with the header first
  std::string delayed;      // one video track starting 0.5 s late (leading empty edit)
  std::string trimmed;      // one video track cut by its edit list between key frames

  static const MovFixtures& Get();

 private:
  MovFixtures();
};

}  // namespace movtest
