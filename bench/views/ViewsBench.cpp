// Drawing a 1280 x 720 perspective view of a 4096 x 2048 equirectangular
// source with Mesa's software renderer, against ffmpeg's v360 doing the same
// remap of the same picture.
//
// BM_PerspectiveFrameVsV360: ms_per_frame is one steady frame of the view
// (the source's texture already uploaded and the mesh built, as on every
// refresh after the first): the view's Draw and glFinish. The anchor is
//   ffmpeg -loop 1 -i src.png -frames:v N -vf v360=e:flat:w=1280:h=720 -f null -
// which decodes the PNG once a frame. The decoding is taken out by
// subtracting the same command with -vf null, and the filter's one-time
// set-up (its remap table) and the process start by taking the difference
// of N = 25 and N = 5 frames:
//   v360_ms_per_frame = ((v360 at 25 - v360 at 5) - (null at 25 - null at 5)) / 20.
// Both sides use the same number of threads (Mesa's LP_NUM_THREADS and
// ffmpeg's filter threads). Batches interleave the two; x_v360 is the median
// over the batches of ms_per_frame / v360_ms_per_frame (goal: at most 1.0).
//
// BM_SteadyRefresh: a Draw of the same view when nothing changed:
// mesh_builds and texture_passes count the grid's work during the timed
// draws, allocations_per_frame the heap allocations (goal: all 0).

#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Source/BufferSource.h"
#include "Source/PixelFormatInfo.h"
#include "View/PerspectiveGrid.h"
#include "View/PerspectiveViewOpenGL.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlOffscreenDrawable.h"
#include "platform/gl/GlPixelFormat.h"

extern char** environ;

namespace {
std::atomic<int64_t> g_allocations{0};
}  // namespace

// Every allocation of the program through operator new is counted. All
// forms are replaced, so that whatever the graphics driver's libraries
// allocate with one form they free with the matching one.
namespace {

void* Allocate(std::size_t size, std::size_t alignment) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  size = size ? size : 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
  if (void* p = Allocate(size, alignment)) return p;
  throw std::bad_alloc();
}

}  // namespace

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) { return AllocateOrThrow(size, 0); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size, 0); }
void* operator new(std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, static_cast<size_t>(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, static_cast<size_t>(a)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(size, static_cast<size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(size, static_cast<size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

constexpr int kSourceWidth = 4096;
constexpr int kSourceHeight = 2048;
constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kThreads = 4;
constexpr int kAnchorFewFrames = 5;
constexpr int kAnchorManyFrames = 25;
constexpr int kFramesPerBatch = 20;
constexpr int kBatches = 5;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs a program from PATH without a shell, its output discarded; the exit
// status, -1 when it could not run.
int Run(const std::vector<std::string>& arguments) {
  std::vector<std::string> copy = arguments;
  std::vector<char*> argv;
  for (std::string& argument : copy) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A smooth picture with detail: colour over longitude and latitude and a
// fine checker, so that neither side can skip work on flat areas.
std::vector<uint8_t> MakePicture() {
  std::vector<uint8_t> pixels(static_cast<size_t>(kSourceWidth) * kSourceHeight * 3);
  for (int y = 0; y < kSourceHeight; ++y) {
    for (int x = 0; x < kSourceWidth; ++x) {
      uint8_t* p = &pixels[(static_cast<size_t>(y) * kSourceWidth + x) * 3];
      const bool checker = ((x / 32) + (y / 32)) % 2 == 0;
      p[0] = static_cast<uint8_t>(x * 255 / kSourceWidth);
      p[1] = static_cast<uint8_t>(y * 255 / kSourceHeight);
      p[2] = checker ? 200 : 60;
    }
  }
  return pixels;
}

struct Scene {
  std::unique_ptr<hc::gl::GlPixelFormat> format;
  std::unique_ptr<hc::gl::GlContext> context;
  std::unique_ptr<hc::gl::GlOffscreenDrawable> drawable;
  KsRef<AppleOpenGLRenderer> renderer;
  KsRef<BufferSource> source;
  KsRef<PerspectiveViewOpenGL> view;
  std::filesystem::path folder;
  std::string png;

  bool Make() {
    setenv("LP_NUM_THREADS", std::to_string(kThreads).c_str(), 1);
    RegisterAllClasses();
    using hc::gl::GlError;
    if (hc::gl::GlPixelFormat::Create({true, 32, 8, 16, true}, &format) != GlError::None) return false;
    if (hc::gl::GlContext::Create(*format, nullptr, &context) != GlError::None) return false;
    if (context->MakeCurrent() != GlError::None) return false;
    if (hc::gl::GlOffscreenDrawable::Create(kWidth, kHeight, &drawable) != GlError::None) return false;
    if (drawable->Bind() != GlError::None) return false;
    renderer = KsMakeRef<AppleOpenGLRenderer>();
    renderer->SetGlContext(context.get());
    renderer->SetGlPixelFormat(format.get());
    renderer->SetDrawableRect(0, 0, kWidth, kHeight);

    const std::vector<uint8_t> picture = MakePicture();
    source = KsMakeRef<BufferSource>();
    source->SetPixelFormat(PixelFormatInfo::k24RGB);
    source->SetProjection(KsMakeRef<EquirectangularProj>());
    source->SetRenderer(renderer);
    if (source->CreateBuffer(kSourceWidth, kSourceHeight) != 0) return false;
    std::memcpy(source->GetBaseAddress(), picture.data(), picture.size());
    source->FrameReady();
    view = KsMakeRef<PerspectiveViewOpenGL>();
    view->SetSource(source);
    view->SetFrame(KsRectF(0, 0, kWidth, kHeight));
    view->SetLookDirection(200, 10, 60, 0);

    char pattern[] = "/tmp/views-bench-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    folder = pattern;
    const std::string raw = (folder / "src.rgb").string();
    png = (folder / "src.png").string();
    std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(picture.data()),
                                                 static_cast<std::streamsize>(picture.size()));
    if (Run({"ffmpeg", "-nostdin", "-y", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
             std::to_string(kSourceWidth) + "x" + std::to_string(kSourceHeight), "-i", raw, png}) != 0) {
      return false;
    }
    // The first frame uploads the texture and builds the mesh.
    return DrawFrame() == 0;
  }

  ~Scene() {
    view = nullptr;
    source = nullptr;
    renderer = nullptr;
    drawable.reset();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }

  eAppErr DrawFrame() {
    if (renderer->BeginUpdate() != 0) return -1;
    const eAppErr result = view->Draw(renderer);
    glFinish();
    renderer->EndUpdate();
    return result;
  }

  double FfmpegMilliseconds(const std::string& filter, int frames) {
    const Clock::time_point start = Clock::now();
    const int status = Run({"ffmpeg", "-nostdin", "-threads", "1", "-filter_threads", std::to_string(kThreads),
                            "-loop", "1", "-i", png, "-frames:v", std::to_string(frames), "-vf", filter, "-f",
                            "null", "-"});
    return status == 0 ? MillisecondsSince(start) : -1.0;
  }
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

void BM_PerspectiveFrameVsV360(benchmark::State& state) {
  Scene scene;
  if (!scene.Make()) {
    state.SkipWithError("no OpenGL context, source or ffmpeg");
    return;
  }
  const std::string v360 = "v360=e:flat:yaw=20:pitch=10:v_fov=60:h_fov=" +
                           std::to_string(2.0 * std::atan(std::tan(30.0 * M_PI / 180.0) * kWidth / kHeight) * 180.0 /
                                          M_PI) +
                           ":w=" + std::to_string(kWidth) + ":h=" + std::to_string(kHeight);
  std::vector<double> ours;
  std::vector<double> theirs;
  std::vector<double> ratios;
  for (auto _ : state) {
    for (int batch = 0; batch < kBatches; ++batch) {
      const Clock::time_point start = Clock::now();
      for (int frame = 0; frame < kFramesPerBatch; ++frame) {
        if (scene.DrawFrame() != 0) {
          state.SkipWithError("draw failed");
          return;
        }
      }
      const double frameMs = MillisecondsSince(start) / kFramesPerBatch;
      const double filterFew = scene.FfmpegMilliseconds(v360, kAnchorFewFrames);
      const double nullFew = scene.FfmpegMilliseconds("null", kAnchorFewFrames);
      const double filterMany = scene.FfmpegMilliseconds(v360, kAnchorManyFrames);
      const double nullMany = scene.FfmpegMilliseconds("null", kAnchorManyFrames);
      if (std::min({filterFew, nullFew, filterMany, nullMany}) < 0.0) {
        state.SkipWithError("ffmpeg failed");
        return;
      }
      const double anchorMs = std::max(1e-3, ((filterMany - filterFew) - (nullMany - nullFew)) /
                                                 (kAnchorManyFrames - kAnchorFewFrames));
      ours.push_back(frameMs);
      theirs.push_back(anchorMs);
      ratios.push_back(frameMs / anchorMs);
    }
  }
  state.counters["ms_per_frame"] = Median(ours);
  state.counters["v360_ms_per_frame"] = Median(theirs);
  state.counters["x_v360"] = Median(ratios);
}
BENCHMARK(BM_PerspectiveFrameVsV360)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SteadyRefresh(benchmark::State& state) {
  Scene scene;
  if (!scene.Make()) {
    state.SkipWithError("no OpenGL context, source or ffmpeg");
    return;
  }
  KsRef<PerspectiveGrid> grid = scene.view->GetGrid();
  const uint32_t builds = grid->GetBuildCount();
  const uint32_t passes = grid->GetTexturePassCount();
  if (scene.renderer->BeginUpdate() != 0) {
    state.SkipWithError("no frame");
    return;
  }
  int64_t frames = 0;
  int64_t allocations = 0;
  for (auto _ : state) {
    const int64_t before = g_allocations.load(std::memory_order_relaxed);
    const eAppErr result = scene.view->Draw(scene.renderer);
    allocations += g_allocations.load(std::memory_order_relaxed) - before;
    ++frames;
    if (result != 0) {
      state.SkipWithError("draw failed");
      break;
    }
  }
  glFinish();
  scene.renderer->EndUpdate();
  state.counters["mesh_builds"] = grid->GetBuildCount() - builds;
  state.counters["texture_passes"] = grid->GetTexturePassCount() - passes;
  state.counters["allocations_per_frame"] = frames ? static_cast<double>(allocations) / frames : 0.0;
}
BENCHMARK(BM_SteadyRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace
