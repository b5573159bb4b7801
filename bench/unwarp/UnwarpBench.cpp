// CPU unwarp throughput against ffmpeg's v360 on the same picture, in the
// same run: an equirectangular 4096 x 2048 RGBA frame to a cylinder of
// 4096 x 1024 (the cartesian path) and to a flat 1920 x 1080 view (the
// general path), in megapixels of output per second on one thread.
//
// Fairness:
// - Both sides read the same raw frame, nothing is decoded: ours from memory
//   as 'RGBA', ffmpeg from a raw file as planar gbrap (the same bytes per
//   pixel; v360 takes it without a conversion, it would convert packed RGBA).
// - ffmpeg's figure is the processor time of `ffmpeg -filter_threads 1
//   -threads 1 -f rawvideo ... -vf v360=...:interp=line -f null -` minus that
//   of the same command with `-vf null`: what remains is v360's work on the
//   frame (building its maps and remapping), without start-up and reading.
//   Ours is the processor time of one UnwarpTask::Unwarp on this thread.
// - Both sides are pinned to the same core (the child inherits the pin) and
//   the repetitions interleave; the median of the ratios is printed.
// - For reading the ratio: v360 builds its maps once per run and then only
//   remaps, so its figure for further frames is printed too.
// Allocations are counted: those of one unwarp must not grow with the
// number of pixels (they belong to the set-up, none to the pixel loops).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <numbers>
#include <string>
#include <vector>

#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Source/BufferSource.h"
#include "Unwarp/OutputBuffer.h"
#include "Unwarp/UnwarpTask.h"
#include "tests/Support/PerspectiveRing.h"

extern char** environ;

// GCC takes the counting operators below, which pair malloc with free, for
// mismatched ones where it inlines them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<uint64_t> g_allocations{0};

}  // namespace

void* operator new(size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr int kSourceWidth = 4096;
constexpr int kSourceHeight = 2048;
#ifdef NDEBUG
constexpr int kRepetitions = 7;
#else
// Sanitised debug builds only show that the program runs.
constexpr int kRepetitions = 1;
#endif

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs a program with its output thrown away; its processor time (user and
// system, all its threads), or a negative value when it failed.
double ChildSeconds(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1.0;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

// The picture, made once by ffmpeg, as raw RGBA for us and raw gbrap for it.
struct Input {
  std::string folder;
  std::string gbrapPath;
  KsRef<BufferSource> source;

  Input() {
    folder = std::filesystem::temp_directory_path() / ("unwarp_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string size = std::to_string(kSourceWidth) + "x" + std::to_string(kSourceHeight);
    const std::string rgbaPath = folder + "/in.rgba";
    gbrapPath = folder + "/in.gbrap";
    for (const auto& [format, path] : {std::pair{"rgba", rgbaPath}, std::pair{"gbrap", gbrapPath}}) {
      if (ChildSeconds({"ffmpeg", "-nostdin", "-y", "-f", "lavfi", "-i", "testsrc2=s=" + size, "-frames:v", "1",
                        "-pix_fmt", format, "-f", "rawvideo", path}) < 0.0) {
        return;
      }
    }
    std::ifstream in(rgbaPath, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto buffer = KsMakeRef<BufferSource>();
    if (bytes.size() != static_cast<size_t>(kSourceWidth) * kSourceHeight * 4 ||
        AppErrFailed(buffer->SetPixelFormat(PixelFormatCode("RGBA"))) ||
        AppErrFailed(buffer->CreateBuffer(kSourceWidth, kSourceHeight))) {
      return;
    }
    std::memcpy(buffer->GetBaseAddress(), bytes.data(), bytes.size());
    buffer->FrameReady();
    source = buffer;
  }
  ~Input() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

Input& TheInput() {
  static Input input;
  return input;
}

// One processor to share: this thread and every ffmpeg it starts.
void PinToOneCore() {
  static const bool pinned = [] {
    cpu_set_t set;
    CPU_ZERO(&set);
    const int core = sched_getcpu();
    CPU_SET(core < 0 ? 0 : core, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
  }();
  (void)pinned;
}

struct Case {
  const char* name;
  const char* path;
  int width;
  int height;
  std::string v360;  // the filter's options without interpolation and size
  std::function<KsRef<PanoProjection>()> outputProjection;
  double goal;
};

std::vector<std::string> FfmpegCommand(const std::string& filter, int frames) {
  const std::string size = std::to_string(kSourceWidth) + "x" + std::to_string(kSourceHeight);
  std::vector<std::string> command = {"ffmpeg", "-nostdin", "-filter_threads", "1", "-threads", "1"};
  if (frames > 1) {
    command.push_back("-stream_loop");
    command.push_back(std::to_string(frames - 1));
  }
  for (const char* arg : {"-f", "rawvideo", "-pix_fmt", "gbrap", "-s"}) command.push_back(arg);
  command.push_back(size);
  command.push_back("-i");
  command.push_back(TheInput().gbrapPath);
  command.push_back("-vf");
  command.push_back(filter);
  for (const char* arg : {"-f", "null", "-"}) command.push_back(arg);
  return command;
}

// Our unwarp into a prepared output: its processor time, and the number of
// allocations it made.
double TimeUnwarp(UnwarpTask& task, uint64_t* allocations) {
  const uint64_t before = g_allocations.load();
  const double start = ThreadSeconds();
  const eAppErr err = task.Unwarp();
  const double seconds = ThreadSeconds() - start;
  *allocations = g_allocations.load() - before;
  return AppErrFailed(err) ? -1.0 : seconds;
}

KsRef<UnwarpTask> MakeTask(const KsRef<PanoProjection>& outputProjection, int width, int height) {
  auto output = KsMakeRef<OutputBuffer>();
  output->SetPixelFormat(PixelFormatCode("RGBA"));
  if (AppErrFailed(output->Initialize(width, height))) return {};
  auto task = KsMakeRef<UnwarpTask>();
  task->SetSource(TheInput().source);
  task->SetSourceProjection(KsMakeRef<EquirectangularProj>());
  task->SetOutput(output);
  task->SetOutputProjection(outputProjection);
  return task;
}

void RunCase(benchmark::State& state, const Case& c) {
  PinToOneCore();
  if (!TheInput().source) {
    state.SkipWithError("ffmpeg could not make the input");
    return;
  }
  KsRef<UnwarpTask> task = MakeTask(c.outputProjection(), c.width, c.height);
  KsRef<UnwarpTask> tiny = MakeTask(c.outputProjection(), 16, 8);
  if (!task || !tiny) {
    state.SkipWithError("no output buffer");
    return;
  }
  const std::string size = ":w=" + std::to_string(c.width) + ":h=" + std::to_string(c.height);
  const std::string filter = c.v360 + ":interp=line" + size;
  const double megapixels = static_cast<double>(c.width) * c.height / 1e6;
  std::vector<double> ours;
  std::vector<double> theirs;
  std::vector<double> theirsFurther;
  std::vector<double> ratios;
  uint64_t allocations = 0;
  uint64_t tinyAllocations = 0;
  for (auto _ : state) {
    for (int rep = 0; rep < kRepetitions; ++rep) {
      const double withFilter = ChildSeconds(FfmpegCommand(filter, 1));
      const double ourSeconds = TimeUnwarp(*task, &allocations);
      const double withoutFilter = ChildSeconds(FfmpegCommand("null", 1));
      const double fourFrames = ChildSeconds(FfmpegCommand(filter, 4));
      const double fourWithout = ChildSeconds(FfmpegCommand("null", 4));
      if (withFilter < 0.0 || withoutFilter < 0.0 || ourSeconds <= 0.0) {
        state.SkipWithError("ffmpeg or the unwarp failed");
        return;
      }
      const double v360Seconds = std::max(withFilter - withoutFilter, 1e-6);
      ours.push_back(megapixels / ourSeconds);
      theirs.push_back(megapixels / v360Seconds);
      theirsFurther.push_back(megapixels /
                              std::max(((fourFrames - fourWithout) - (withFilter - withoutFilter)) / 3.0, 1e-6));
      ratios.push_back((megapixels / ourSeconds) / (megapixels / v360Seconds));
    }
    TimeUnwarp(*tiny, &tinyAllocations);
  }
  const double ratio = Median(ratios);
  state.counters["MP/s"] = Median(ours);
  state.counters["ffmpeg MP/s"] = Median(theirs);
  state.counters["ratio"] = ratio;
  state.counters["allocations"] = static_cast<double>(allocations);
  std::printf(
      "%s (%s path) %dx%d: ours %.1f MP/s, ffmpeg v360 %.1f MP/s (further frames, maps built: %.1f MP/s); "
      "median ratio %.2f over %d runs (goal %.1f); allocations per unwarp %llu, at 16x8 %llu\n",
      c.name, c.path, c.width, c.height, Median(ours), Median(theirs), Median(theirsFurther), ratio, kRepetitions,
      c.goal, static_cast<unsigned long long>(allocations), static_cast<unsigned long long>(tinyAllocations));
  if (allocations != tinyAllocations) state.SkipWithError("the pixel loops allocate");
}

KsRef<PanoProjection> Cylinder() { return KsMakeRef<CylindricalProj>(); }

// Horizontal field of view 100 degrees, square pixels: the vertical one
// follows from the size.
constexpr float kFlatHorizontalFov = 100.0f;
float FlatVerticalFov() {
  const float halfTan = std::tan(0.5f * kFlatHorizontalFov * std::numbers::pi_v<float> / 180.0f) * 1080.0f / 1920.0f;
  return 2.0f * std::atan(halfTan) * 180.0f / std::numbers::pi_v<float>;
}

KsRef<PanoProjection> FlatView() {
  PerspectiveView view;
  view.verticalFovDeg = FlatVerticalFov();
  view.width = 1920;
  view.height = 1080;
  return MakePerspectiveRing(view);
}

void BM_UnwarpToCylinder(benchmark::State& state) {
  RunCase(state, {"equirectangular 4096x2048 RGBA to cylinder", "cartesian", 4096, 1024,
                  "v360=input=e:output=cylindrical:h_fov=360:v_fov=100", Cylinder, 1.5});
}

void BM_UnwarpToFlatView(benchmark::State& state) {
  RunCase(state, {"equirectangular 4096x2048 RGBA to flat view", "general", 1920, 1080,
                  "v360=input=e:output=flat:pitch=-90:h_fov=" + std::to_string(kFlatHorizontalFov) +
                      ":v_fov=" + std::to_string(FlatVerticalFov()),
                  FlatView, 1.0});
}

}  // namespace

BENCHMARK(BM_UnwarpToCylinder)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnwarpToFlatView)->Iterations(1)->Unit(benchmark::kMillisecond);
