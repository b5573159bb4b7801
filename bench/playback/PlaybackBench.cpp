// Movie playback figures on 3840 x 1920 H.264 movies that ffmpeg makes: a
// fast-to-decode one and a real-looking one. Decoding and uploading every
// frame against ffmpeg decoding the same file (same thread count, same cores,
// interleaved runs, median ratio), the page faults of steady playback, the
// processor time a paused movie costs, and the peak memory while playing.
#include <atomic>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MovieBenchSupport.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlPixelFormat.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VisualContext.h"

namespace {

using hc::playback::Movie;
using hc::playback::PlaybackErr;
using hc::playback::VisualContext;
using moviebench::MovieKind;

// Decoder threads on both sides, and the processors both run on.
constexpr int kThreads = 4;
// Frames after which playback counts as steady (the queue and pools are full).
constexpr int kSteadyFrom = 30;

int Repetitions() {
  const char* smoke = std::getenv("HC_BENCH_SMOKE");
  return smoke != nullptr && smoke[0] == '1' ? 1 : 5;
}

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Player {
  std::unique_ptr<hc::gl::GlPixelFormat> format;
  std::unique_ptr<hc::gl::GlContext> gl;
  std::unique_ptr<Movie> movie;
  std::unique_ptr<VisualContext> context;

  // The OpenGL context and the movie's header; the decoder opens with SetMovie.
  bool Make(const std::string& path, double readAhead, int threads) {
    if (path.empty()) return false;
    if (hc::gl::GlPixelFormat::Create({true, 32, 8, 16, true}, &format) != hc::gl::GlError::None ||
        hc::gl::GlContext::Create(*format, nullptr, &gl) != hc::gl::GlError::None ||
        gl->MakeCurrent() != hc::gl::GlError::None) {
      return false;
    }
    hc::playback::DataReference reference;
    hc::playback::DataReference::FromPath(path, &reference);
    if (Movie::Open(reference, &movie) != PlaybackErr::Ok) return false;
    VisualContext::Options options;
    options.expectedReadAhead = readAhead;
    options.decodeThreads = threads;
    return VisualContext::Create(gl.get(), options, &context) == PlaybackErr::Ok;
  }
};

struct OurRun {
  bool ok = false;
  double seconds = 0.0;  // decoder set-up, decoding and uploading, after the file is opened
  double uploadMsPerFrame = 0.0;
  double faultsPerFrame = 0.0;  // minor page faults of steady playback
  uint64_t converted = 0;
};

// Every frame decoded and uploaded as fast as the layer goes: the movie clock
// moves to each next frame once the previous one is on the card. Timed like
// ffmpeg times itself: from the decoder's set-up, not counting the file's
// opening and stream probing.
OurRun DecodeAndUpload(const std::string& path) {
  OurRun run;
  // Read by the decode thread: declared first, so it outlives what reads it.
  std::atomic<uint64_t> host{1000};
  Player player;
  if (!player.Make(path, 0.2, kThreads)) return run;
  player.movie->GetTimeBase()->SetHostClock([&host] { return host.load(); });
  player.movie->SetRate(1.0);
  const auto start = std::chrono::steady_clock::now();
  if (player.context->SetMovie(player.movie.get()) != PlaybackErr::Ok) return run;
  int shown = 0;
  double uploadSeconds = 0.0;
  long faultsAtSteady = 0;
  for (int frame = 0; frame < moviebench::kFrames; ++frame) {
    if (frame == kSteadyFrom) faultsAtSteady = moviebench::MinorPageFaults();
    host = 1000 + static_cast<uint64_t>(frame) * 1000000000ull / moviebench::kFps;
    if (player.context->WaitForImage(nullptr, 20000) != PlaybackErr::Ok) break;
    std::shared_ptr<hc::playback::VideoTexture> texture;
    const auto uploadStart = std::chrono::steady_clock::now();
    if (player.context->CopyImageForTime(nullptr, &texture) == PlaybackErr::Ok) ++shown;
    uploadSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - uploadStart).count();
  }
  const auto statistics = player.context->GetStatistics();
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() -
                statistics.inputOpenSeconds;
  run.faultsPerFrame = static_cast<double>(moviebench::MinorPageFaults() - faultsAtSteady) /
                       (moviebench::kFrames - kSteadyFrom);
  run.uploadMsPerFrame = shown > 0 ? uploadSeconds * 1000 / shown : 0.0;
  run.converted = statistics.framesConverted;
  run.ok = shown == moviebench::kFrames;
  return run;
}

void BM_DecodeUploadAgainstFfmpeg(benchmark::State& state, MovieKind kind) {
  const std::string& path = moviebench::MoviePath(kind);
  const int cores = moviebench::PinToCores(kThreads);
  std::vector<double> ratios;
  std::vector<double> ours;
  std::vector<double> theirs;
  OurRun last;
  for (auto _ : state) {
    for (int repetition = 0; repetition < Repetitions(); ++repetition) {
      // Alternate which side goes first, so that neither always meets a warmer cache.
      moviebench::FfmpegRun ffmpeg;
      if (repetition % 2 == 1) ffmpeg = moviebench::RunFfmpegDecode(path, kThreads);
      last = DecodeAndUpload(path);
      if (repetition % 2 == 0) ffmpeg = moviebench::RunFfmpegDecode(path, kThreads);
      if (!last.ok || !ffmpeg.ok) {
        state.SkipWithError("no movie, no OpenGL context, frames missing or ffmpeg failed");
        return;
      }
      ours.push_back(moviebench::kFrames / last.seconds);
      theirs.push_back(moviebench::kFrames / ffmpeg.decodeSeconds);
      ratios.push_back(ffmpeg.decodeSeconds / last.seconds);
    }
  }
  const double ratio = moviebench::Median(ratios);
  state.counters["frames/s"] = moviebench::Median(ours);
  state.counters["ffmpeg frames/s"] = moviebench::Median(theirs);
  state.counters["median ratio"] = ratio;
  state.counters["upload ms/frame"] = last.uploadMsPerFrame;
  state.counters["page faults/frame"] = last.faultsPerFrame;
  std::printf(
      "decode+upload 3840x1920 %s: ours %.1f frames/s, ffmpeg -f null %.1f frames/s, median ratio %.2f over %zu "
      "interleaved runs (%d decoder threads, both on %d cores); upload %.2f ms/frame, %.1f page faults/frame in "
      "steady playback, %llu frames converted\n",
      moviebench::NameOf(kind), moviebench::Median(ours), moviebench::Median(theirs), ratio, ratios.size(), kThreads,
      cores, last.uploadMsPerFrame, last.faultsPerFrame, static_cast<unsigned long long>(last.converted));
}

// Playing in real time for the length of the movie; reports peak memory.
void BM_PlayRealTime3840x1920(benchmark::State& state) {
  for (auto _ : state) {
    Player player;
    if (!player.Make(moviebench::MoviePath(MovieKind::RealLooking), 0.1, 0) ||
        player.context->SetMovie(player.movie.get()) != PlaybackErr::Ok) {
      state.SkipWithError("no movie or no OpenGL context");
      return;
    }
    player.movie->SetRate(1.0);
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(1000 * moviebench::kFrames / moviebench::kFps);
    int shown = 0;
    while (std::chrono::steady_clock::now() < end) {
      std::shared_ptr<hc::playback::VideoTexture> texture;
      if (player.context->IsNewImageAvailable(nullptr) &&
          player.context->CopyImageForTime(nullptr, &texture) == PlaybackErr::Ok) {
        ++shown;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(16667));
    }
    const auto statistics = player.context->GetStatistics();
    state.counters["frames shown"] = shown;
    state.counters["frames skipped"] = static_cast<double>(statistics.framesSkipped);
    state.counters["queue capacity"] = static_cast<double>(player.context->QueueCapacity());
  }
  state.counters["peak memory MiB"] = moviebench::PeakMemoryMiB();
  std::printf("playing 3840x1920 in real time: peak memory %.0f MiB\n", moviebench::PeakMemoryMiB());
}

// A paused movie with its visual context: processor time per second of wall time.
void BM_PausedMovieCost(benchmark::State& state) {
  double share = 0.0;
  for (auto _ : state) {
    Player player;
    if (!player.Make(moviebench::MoviePath(MovieKind::RealLooking), 0.1, 0) ||
        player.context->SetMovie(player.movie.get()) != PlaybackErr::Ok) {
      state.SkipWithError("no movie or no OpenGL context");
      return;
    }
    player.context->WaitForImage(nullptr, 10000);
    // The queue fills and the decoder's threads finish the pictures they
    // were given; then everything sleeps. Measured once a quarter second
    // passes with next to no processor time.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (double used = 1.0; used > 0.01 && std::chrono::steady_clock::now() < deadline;) {
      const double start = ProcessorSeconds();
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
      used = ProcessorSeconds() - start;
    }
    const double before = ProcessorSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    share = ProcessorSeconds() - before;
  }
  state.counters["cpu s per s"] = share;
  std::printf("paused movie: %.4f s of processor time per second\n", share);
}

BENCHMARK(BM_PlayRealTime3840x1920)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_DecodeUploadAgainstFfmpeg, fast, MovieKind::FastToDecode)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_DecodeUploadAgainstFfmpeg, real, MovieKind::RealLooking)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PausedMovieCost)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
