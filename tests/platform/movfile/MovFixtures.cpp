#include "MovFixtures.h"

namespace movtest {

MovFixtures::MovFixtures()
    : headerLast(dir.File("header-last.mov")),
      headerFirst(dir.File("header-first.mov")),
      delayed(dir.File("delayed.mov")),
      trimmed(dir.File("trimmed.mov")) {
  MakeThreeTrackMovie(headerLast, false);
  MakeThreeTrackMovie(headerFirst, true);
  std::string plain = dir.File("plain.mov");
  MakeVideoMovie(plain);
  RunTool({"ffmpeg", "-loglevel", "error", "-y", "-itsoffset", "0.5", "-i", plain, "-c", "copy", delayed});
  RunTool({"ffmpeg", "-loglevel", "error", "-y", "-ss", "0.4", "-i", plain, "-c", "copy", trimmed});
}

const MovFixtures& MovFixtures::Get() {
  static const MovFixtures fixtures;
  return fixtures;
}

}  // namespace movtest
