// Figures of movie packaging on a 4 GiB movie (its media data behind a
// sparse 4 GiB hole, so the file is that long without filling the disk)
// that carries a presentation: what opening it and reading its presentation
// reads (goal: under 1 MB) and how long it takes, from its path and when it
// is already open for playing, and how long its movie
// digest takes (it reads the descriptions and the track's size, never the
// media).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "InterfaceCommon/MovieDigest.h"
#include "InterfaceCommon/MovieSerializer.h"
#include "KsTrace.h"
#include "MovTestTools.h"
#include "RegisterAllClasses.h"
#include "platform/movfile/MovFile.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"

namespace {

// Bytes this process has read through system calls so far.
uint64_t BytesReadByProcess() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

class LargeMovie {
 public:
  LargeMovie() {
    RegisterAllClasses();
    const std::string small = dir_.File("small.mov");
    movtest::MakeThreeTrackMovie(small, false);
    path_ = dir_.File("large.mov");
    movtest::MakeMovieBeyond4GiB(small, path_);
    auto reader = KsMakeRef<MovieSerializer>();
    reader->SetPath(PWStringRef(path_));
    reader->SetGuessPanoProjection(true);
    if (reader->SetInitDescriptionFromMovie(true) < 0) throw std::runtime_error("cannot read the movie");
    KsRef<HcPresentation> presentation = reader->GetPresentation();
    presentation->SetViewsetName(PWStringRef("Bench"));
    presentation->SetViewsetHcML(PWStringRef(std::string(20000, ' ') + "<viewsets/>"));
    auto writer = KsMakeRef<MovieSerializer>();
    writer->SetPath(PWStringRef(path_));
    writer->SetPresentation(presentation);
    writer->InitUUIDForPresentationAndSourceDesc();
    if (writer->SetInitMovieFromDescription(true) != 0) throw std::runtime_error("cannot write the presentation");
  }
  const std::string& Path() const { return path_; }
  uint64_t Size() const { return movtest::FileSize(path_); }

 private:
  movtest::TempDir dir_;
  std::string path_;
};

const LargeMovie& Movie() {
  static const LargeMovie movie;
  return movie;
}

void BM_OpenAndReadPresentation(benchmark::State& state) {
  const LargeMovie& movie = Movie();
  uint64_t bytes = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    const uint64_t before = BytesReadByProcess();
    const auto start = std::chrono::steady_clock::now();
    auto serializer = KsMakeRef<MovieSerializer>();
    serializer->SetPath(PWStringRef(movie.Path()));
    if (serializer->SetInitDescriptionFromMovie(true) != 0) state.SkipWithError("reading failed");
    benchmark::DoNotOptimize(serializer->GetPresentation());
    serializer = nullptr;
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bytes += BytesReadByProcess() - before;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["movie_GiB"] = static_cast<double>(movie.Size()) / (1u << 30);
  state.counters["bytes_read"] = static_cast<double>(bytes) / runs;
  state.counters["under_1MB"] = static_cast<double>(bytes) / runs < 1e6 ? 1 : 0;
  state.counters["ms"] = seconds * 1000.0 / runs;
}
BENCHMARK(BM_OpenAndReadPresentation)->Unit(benchmark::kMillisecond);

// The document's way: the movie is already open for playing; reading its
// presentation reads the file's outline and user data.
void BM_ReadPresentationOfOpenMovie(benchmark::State& state) {
  const LargeMovie& movie = Movie();
  hc::playback::DataReference reference;
  std::unique_ptr<hc::playback::Movie> playing;
  if (hc::playback::DataReference::FromPath(movie.Path(), &reference) != hc::playback::PlaybackErr::Ok ||
      hc::playback::Movie::Open(reference, &playing) != hc::playback::PlaybackErr::Ok) {
    state.SkipWithError("cannot open the movie");
    return;
  }
  uint64_t bytes = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    const uint64_t before = BytesReadByProcess();
    const auto start = std::chrono::steady_clock::now();
    auto serializer = KsMakeRef<MovieSerializer>();
    serializer->SetMovie(playing.get());
    if (serializer->SetInitDescriptionFromMovie(true) != 0) state.SkipWithError("reading failed");
    benchmark::DoNotOptimize(serializer->GetPresentation());
    serializer = nullptr;
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bytes += BytesReadByProcess() - before;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["bytes_read"] = static_cast<double>(bytes) / runs;
  state.counters["ms"] = seconds * 1000.0 / runs;
}
BENCHMARK(BM_ReadPresentationOfOpenMovie)->Unit(benchmark::kMillisecond);

void BM_MovieDigest(benchmark::State& state) {
  const LargeMovie& movie = Movie();
  uint64_t bytes = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    hc::movfile::MovFile file;
    if (file.OpenForRead(movie.Path()) != hc::movfile::MovErr::Ok) state.SkipWithError("open failed");
    PWStringRef digest;
    if (ComputeMovieDigestBase64(&file, &digest) != 0 || digest.IsNull()) state.SkipWithError("digest failed");
    benchmark::DoNotOptimize(digest);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bytes += file.Io().BytesRead();
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["bytes_read"] = static_cast<double>(bytes) / runs;
  state.counters["ms"] = seconds * 1000.0 / runs;
}
BENCHMARK(BM_MovieDigest)->Unit(benchmark::kMillisecond);

}  // namespace
