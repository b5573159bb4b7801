// Movie playback figures on a 3840 x 1920 H.264 movie that ffmpeg makes at
// start-up: decode, convert and upload throughput against ffmpeg decoding the
// same file in the same run, the processor time a paused movie costs, and the
// peak memory while playing.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/gl/GlContext.h"
#include "platform/gl/GlPixelFormat.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VisualContext.h"

extern char** environ;

namespace {

using hc::playback::Movie;
using hc::playback::PlaybackErr;
using hc::playback::VisualContext;

constexpr int kFrames = 60;  // 2 s at 30 fps
constexpr int kFps = 30;

struct Child {
  int status = -1;
  std::string errorText;
};

// Runs a program with an argument vector; returns its exit status and what it wrote to stderr.
Child Run(const std::vector<std::string>& argv) {
  Child child;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return child;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned == 0) {
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
      child.errorText.append(buffer, static_cast<size_t>(got));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    child.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::close(pipeFds[0]);
  return child;
}

std::string& Folder() {
  static std::string folder;
  return folder;
}

void RemoveMovie() {
  std::error_code ignored;
  if (!Folder().empty()) std::filesystem::remove_all(Folder(), ignored);
}

const std::string& MoviePath() {
  static const std::string path = [] {
    const std::string folder = std::filesystem::temp_directory_path() / ("playback_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    Folder() = folder;
    const std::string file = folder + "/pano-3840x1920.mov";
    const Child made = Run({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                            "testsrc2=size=3840x1920:rate=" + std::to_string(kFps) + ":duration=" +
                                std::to_string(kFrames / kFps),
                            "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", file});
    std::atexit(RemoveMovie);
    return made.status == 0 ? file : std::string();
  }();
  return path;
}

// ffmpeg's own decoding speed of the movie, in frames per second of wall time.
double FfmpegFramesPerSecond() {
  const Child child = Run({"ffmpeg", "-hide_banner", "-benchmark", "-i", MoviePath(), "-f", "null", "-"});
  const size_t at = child.errorText.find("rtime=");
  if (child.status != 0 || at == std::string::npos) return 0.0;
  const double seconds = std::strtod(child.errorText.c_str() + at + 6, nullptr);
  return seconds > 0.0 ? kFrames / seconds : 0.0;
}

double PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
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

  bool Make(double readAhead) {
    if (MoviePath().empty()) return false;
    if (hc::gl::GlPixelFormat::Create({true, 32, 8, 16, true}, &format) != hc::gl::GlError::None ||
        hc::gl::GlContext::Create(*format, nullptr, &gl) != hc::gl::GlError::None ||
        gl->MakeCurrent() != hc::gl::GlError::None) {
      return false;
    }
    hc::playback::DataReference reference;
    hc::playback::DataReference::FromPath(MoviePath(), &reference);
    if (Movie::Open(reference, &movie) != PlaybackErr::Ok) return false;
    VisualContext::Options options;
    options.expectedReadAhead = readAhead;
    return VisualContext::Create(gl.get(), options, &context) == PlaybackErr::Ok &&
           context->SetMovie(movie.get()) == PlaybackErr::Ok;
  }
};

// Every frame of the movie decoded, converted to BGRA and uploaded, as fast as
// the layer goes: the movie clock moves to each next frame once the previous
// one is on the card.
void BM_DecodeConvertUpload3840x1920(benchmark::State& state) {
  const double ffmpegFps = FfmpegFramesPerSecond();
  double fps = 0.0;
  double peakQueued = 0.0;
  for (auto _ : state) {
    Player player;
    if (!player.Make(0.2)) {
      state.SkipWithError("no movie or no OpenGL context");
      return;
    }
    uint64_t host = 0;
    player.movie->GetTimeBase()->SetHostClock([&host] { return host; });
    player.movie->SetRate(1.0);
    const auto start = std::chrono::steady_clock::now();
    int shown = 0;
    double uploadSeconds = 0.0;
    for (int frame = 0; frame < kFrames; ++frame) {
      host = static_cast<uint64_t>(frame) * 1000000000ull / kFps + 1000;
      if (player.context->WaitForImage(nullptr, 10000) != PlaybackErr::Ok) break;
      std::shared_ptr<hc::playback::VideoTexture> texture;
      const auto uploadStart = std::chrono::steady_clock::now();
      if (player.context->CopyImageForTime(nullptr, &texture) == PlaybackErr::Ok) ++shown;
      uploadSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - uploadStart).count();
    }
    state.counters["upload ms/frame"] = shown > 0 ? uploadSeconds * 1000 / shown : 0.0;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fps = shown / seconds;
    peakQueued = static_cast<double>(player.context->GetStatistics().peakQueued);
    if (shown != kFrames) state.SkipWithError("frames missing");
  }
  state.counters["frames/s"] = fps;
  state.counters["ffmpeg frames/s"] = ffmpegFps;
  state.counters["ratio to ffmpeg"] = ffmpegFps > 0.0 ? fps / ffmpegFps : 0.0;
  state.counters["peak queued frames"] = peakQueued;
  state.counters["peak memory MiB"] = PeakMemoryMiB();
  std::printf("decode+convert+upload 3840x1920: %.1f frames/s, ffmpeg %.1f frames/s, ratio %.2f (goal 0.9)\n", fps,
              ffmpegFps, ffmpegFps > 0.0 ? fps / ffmpegFps : 0.0);
}

// Playing in real time for the length of the movie; reports peak memory.
void BM_PlayRealTime3840x1920(benchmark::State& state) {
  for (auto _ : state) {
    Player player;
    if (!player.Make(0.1)) {
      state.SkipWithError("no movie or no OpenGL context");
      return;
    }
    player.movie->SetRate(1.0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000 * kFrames / kFps);
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
  state.counters["peak memory MiB"] = PeakMemoryMiB();
  std::printf("playing 3840x1920 in real time: peak memory %.0f MiB\n", PeakMemoryMiB());
}

// A paused movie with its visual context: processor time per second of wall time.
void BM_PausedMovieCost(benchmark::State& state) {
  double share = 0.0;
  for (auto _ : state) {
    Player player;
    if (!player.Make(0.1)) {
      state.SkipWithError("no movie or no OpenGL context");
      return;
    }
    player.context->WaitForImage(nullptr, 10000);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the queue fills, then the thread sleeps
    const double before = ProcessorSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    share = ProcessorSeconds() - before;
  }
  state.counters["cpu s per s"] = share;
  std::printf("paused movie: %.4f s of processor time per second\n", share);
}

BENCHMARK(BM_DecodeConvertUpload3840x1920)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlayRealTime3840x1920)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PausedMovieCost)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
