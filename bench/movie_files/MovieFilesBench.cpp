// Figures of the movie file layer: how much of a large movie opening and
// listing its user data reads, and how much saving one new item writes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovChunkOffsets.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"

extern char** environ;

using namespace hc::movfile;

namespace {

constexpr uint64_t kGap = uint64_t{4} << 30;

bool Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A header-last movie of 10 s, and the same media behind a 4 GiB hole.
class Movies {
 public:
  Movies() {
    std::string pattern = (std::filesystem::temp_directory_path() / "movbench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    small_ = dir_ + "/small.mov";
    large_ = dir_ + "/large.mov";
    if (!Spawn({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                "testsrc=size=320x160:rate=25:duration=10", "-c:v", "mpeg4", "-metadata", "title=Bench", small_})) {
      throw std::runtime_error("ffmpeg failed");
    }
    MakeLarge();
  }
  ~Movies() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  const std::string& Small() const { return small_; }
  const std::string& Large() const { return large_; }
  std::string Scratch() const { return dir_ + "/scratch.mov"; }

 private:
  void MakeLarge() {
    MovFile movie;
    if (movie.OpenForRead(small_) != MovErr::Ok) throw std::runtime_error("cannot read the movie");
    const MovAtom* mdat = nullptr;
    for (const auto& atom : movie.TopLevelAtoms()) {
      if (atom.type == MovFourCC("mdat")) mdat = &atom;
    }
    if (!mdat) throw std::runtime_error("no media data");
    std::ifstream in(small_, std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    const uint64_t mdatAt = 16 + kGap;
    MovAtomNode header;
    if (movie.BuildHeader(header) != MovErr::Ok) throw std::runtime_error("cannot build the header");
    MovChunkOffsets::Remap(header, [&](uint64_t old, uint64_t& moved) {
      moved = old - mdat->offset + mdatAt;
      return true;
    });
    std::vector<uint8_t> bytes;
    MovByteWriter(bytes).AtomHeader(MovFourCC("free"), kGap + 16);
    int fd = ::open(large_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = ::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
    ok = ok && ::pwrite(fd, file.data() + mdat->offset, mdat->size, static_cast<off_t>(mdatAt)) ==
                   static_cast<ssize_t>(mdat->size);
    bytes.clear();
    header.Serialize(bytes);
    ok = ok && ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(mdatAt + mdat->size)) ==
                   static_cast<ssize_t>(bytes.size());
    ::close(fd);
    if (!ok) throw std::runtime_error("cannot write the large movie");
  }

  std::string dir_;
  std::string small_;
  std::string large_;
};

const Movies& GetMovies() {
  static const Movies movies;
  return movies;
}

void BM_OpenLargeHeaderLastMovieAndListUserData(benchmark::State& state) {
  const Movies& movies = GetMovies();
  uint64_t bytesRead = 0;
  uint64_t fileSize = 0;
  for (auto _ : state) {
    MovFile movie;
    if (movie.OpenForRead(movies.Large()) != MovErr::Ok) {
      state.SkipWithError("open failed");
      break;
    }
    size_t items = 0;
    for (size_t i = 0; i < movie.UserData().ItemCount(); ++i) items += movie.UserData().ItemPayloadAt(i).size();
    benchmark::DoNotOptimize(items);
    bytesRead = movie.Io().BytesRead();
    fileSize = movie.TopLevelAtoms().back().End();
  }
  state.counters["bytes_read"] = static_cast<double>(bytesRead);
  state.counters["file_bytes"] = static_cast<double>(fileSize);
  if (bytesRead >= (1u << 20)) state.SkipWithError("opening read 1 MB or more");
}
BENCHMARK(BM_OpenLargeHeaderLastMovieAndListUserData)->Unit(benchmark::kMicrosecond);

void BM_SaveOneNewItem(benchmark::State& state) {
  const Movies& movies = GetMovies();
  std::filesystem::copy_file(movies.Small(), movies.Scratch(), std::filesystem::copy_options::overwrite_existing);
  MovFile movie;
  if (movie.OpenForUpdate(movies.Scratch()) != MovErr::Ok) {
    state.SkipWithError("open failed");
    return;
  }
  const std::vector<uint8_t> item(2048, 0x42);
  uint64_t written = 0;
  for (auto _ : state) {
    movie.UserData().RemoveItems(MovFourCC("Hcpr"));
    movie.UserData().AppendItem(MovFourCC("Hcpr"), item);
    movie.Io().ResetCounters();
    if (movie.Save() != MovErr::Ok) {
      state.SkipWithError("save failed");
      break;
    }
    written = movie.Io().BytesWritten();
  }
  uint64_t media = 0;
  for (const auto& atom : movie.TopLevelAtoms()) {
    if (atom.type == MovFourCC("mdat")) media += atom.size;
  }
  state.counters["bytes_written"] = static_cast<double>(written);
  state.counters["header_bytes"] = static_cast<double>(movie.HeaderAtom().size);
  state.counters["media_bytes"] = static_cast<double>(media);
}
BENCHMARK(BM_SaveOneNewItem)->Unit(benchmark::kMicrosecond)->Iterations(20);

}  // namespace
