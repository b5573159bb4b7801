// libFuzzer target over the movie atom reader: the bytes are parsed as a
// header tree in memory and opened as a movie file, everything the file
// offers is used once, and an item is saved into it.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/movfile/MovAtomNode.h"
#include "platform/movfile/MovCompressedHeader.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/movfile/MovUserData.h"

using namespace hc::movfile;

namespace {

void UseHeaderBytes(std::span<const uint8_t> bytes) {
  MovAtomNode node;
  if (MovAtomNode::Parse(bytes, node) == MovErr::Ok) {
    std::vector<uint8_t> written;
    node.Serialize(written);
  }
  MovUserData userData;
  MovUserData::Parse(bytes, userData);
  std::vector<uint8_t> expanded;
  MovCompressedHeader::Expand(bytes, expanded);
}

// The input goes into a named file (a save checks that the movie still has
// its name): one per process, in memory-backed /dev/shm where there is one.
std::string MakeScratchFile() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp ? tmp : "/tmp");
  std::string path = folder + "/movie-fuzz-XXXXXX";
  int fd = ::mkstemp(path.data());
  if (fd < 0) return "";
  ::close(fd);
  return path;
}

const std::string& ScratchPath() {
  static const std::string path = MakeScratchFile();
  return path;
}

void RemoveScratchFile() { ::unlink(ScratchPath().c_str()); }

void UseMovieFile(const uint8_t* data, size_t size) {
  const std::string& path = ScratchPath();
  if (path.empty()) return;
  int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return;
  bool written = ::write(fd, data, size) == static_cast<ssize_t>(size);
  ::close(fd);
  if (!written) return;
  MovFile movie;
  if (movie.OpenForRead(path) == MovErr::Ok) {
    std::vector<MovMetadataItem> items;
    movie.Metadata(items);
    movie.LoadTrackFacts();
    movie.CheckSampleTables();
    movie.LoadTracks();
    for (size_t i = 0; i < movie.TrackCount(); ++i) {
      const MovTrack& track = movie.Track(i);
      track.DataSize();
      std::vector<uint8_t> sample;
      movie.ReadSample(track, 1, sample);
    }
    MovAtomNode header;
    movie.BuildHeader(header);
  }
  // Saving into the damaged file, then reading it back.
  if (movie.OpenForUpdate(path) == MovErr::Ok) {
    const uint8_t item[] = {1, 2, 3};
    movie.UserData().AppendItem(MovFourCC("Hcpr"), item);
    if (movie.TrackCount() > 0) movie.Track(0).UserData().AppendItem(MovFourCC("Hcsd"), item);
    if (movie.Save() == MovErr::Ok) {
      movie.Close();
      if (movie.OpenForRead(path) == MovErr::Ok) movie.LoadTracks();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!ScratchPath().empty()) std::atexit(RemoveScratchFile);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UseHeaderBytes(std::span<const uint8_t>(data, size));
  UseMovieFile(data, size);
  return 0;
}
