// Playback to the screen: a 3840 x 1920 H.264 movie decoded, uploaded and
// drawn every frame through the visual-context texture set and the OpenGL
// renderer into a 1280 x 720 off-screen drawable over a full-screen mesh,
// against ffmpeg decoding the same file (same decoder thread count, same
// cores, interleaved runs, median ratio); what a refresh with no new frame
// costs; and the peak memory while playing.
#include <atomic>
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "MovieBenchSupport.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Renderer/HcVertexBuffer.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlOffscreenDrawable.h"
#include "platform/gl/GlPixelFormat.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VisualContext.h"

// Allocations made on the calling thread, counted for the refresh figures
// (not under AddressSanitizer, which keeps allocation to itself).
namespace {
thread_local long t_allocations = 0;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCountsAllocations = false;
#else
constexpr bool kCountsAllocations = true;
#endif
}  // namespace

#if !defined(__SANITIZE_ADDRESS__)
// GCC sees through the replacement and takes free() here for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  ++t_allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++t_allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
#pragma GCC diagnostic pop
#endif

namespace {

using hc::playback::Movie;
using hc::playback::PlaybackErr;
using hc::playback::VisualContext;
using moviebench::MovieKind;

constexpr int kThreads = 4;
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;
constexpr uint32_t kMeshColumns = 64;
constexpr uint32_t kMeshRows = 36;
constexpr int kIdleRefreshes = 1000;

int Repetitions() {
  const char* smoke = std::getenv("HC_BENCH_SMOKE");
  return smoke != nullptr && smoke[0] == '1' ? 1 : 5;
}

// A renderer on an off-screen drawable, a movie with its visual context and
// texture set, and a full-screen mesh that shows the whole frame.
struct Screen {
  std::unique_ptr<hc::gl::GlPixelFormat> format;
  std::unique_ptr<hc::gl::GlContext> gl;
  std::unique_ptr<hc::gl::GlOffscreenDrawable> drawable;
  KsRef<AppleOpenGLRenderer> renderer;
  KsRef<HcVertexBuffer> mesh;
  std::unique_ptr<Movie> movie;
  std::shared_ptr<VisualContext> context;
  KsRef<QTVisualContextTextureSet> set;
  uint64_t meshSeed = 0;
  // Where a frame's time goes on the drawing thread, summed over frames.
  double takeSeconds = 0.0;    // taking the frame in (uploading it)
  double drawSeconds = 0.0;    // issuing the drawing
  double finishSeconds = 0.0;  // waiting for the drawing to be done

  ~Screen() {
    if (gl) gl->MakeCurrent();
    set = nullptr;
    context.reset();
    mesh = nullptr;
    renderer = nullptr;
    drawable.reset();
  }

  bool Make(const std::string& path) {
    using hc::gl::GlError;
    if (path.empty()) return false;
    RegisterAllClasses();
    if (hc::gl::GlPixelFormat::Create({true, 32, 8, 16, true}, &format) != GlError::None ||
        hc::gl::GlContext::Create(*format, nullptr, &gl) != GlError::None || gl->MakeCurrent() != GlError::None ||
        hc::gl::GlOffscreenDrawable::Create(kScreenWidth, kScreenHeight, &drawable) != GlError::None ||
        drawable->Bind() != GlError::None) {
      return false;
    }
    renderer = KsMakeRef<AppleOpenGLRenderer>();
    renderer->SetGlContext(gl.get());
    renderer->SetGlPixelFormat(format.get());
    renderer->SetDrawableRect(0, 0, kScreenWidth, kScreenHeight);
    mesh = renderer->CreateVertexBuffer((kMeshColumns + 1) * 2, kMeshRows);
    if (!mesh) return false;
    hc::playback::DataReference reference;
    hc::playback::DataReference::FromPath(path, &reference);
    if (Movie::Open(reference, &movie) != PlaybackErr::Ok) return false;
    VisualContext::Options options;
    options.expectedReadAhead = 0.2;
    options.decodeThreads = kThreads;
    std::unique_ptr<VisualContext> made;
    if (VisualContext::Create(gl.get(), options, &made) != PlaybackErr::Ok) return false;
    context = std::move(made);
    set = KsMakeRef<QTVisualContextTextureSet>();
    set->SetProjection(KsMakeRef<EquirectangularProj>());
    set->SetVisualContext(context);
    set->SetRenderer(renderer);
    return true;
  }

  // Texture coordinates follow the texture whenever the set's seed moves, as a view's do.
  void MapMesh(HcTexture& texture) {
    const uint64_t seed = set->GetUpdateSeed();
    if (seed == meshSeed) return;
    meshSeed = seed;
    for (uint32_t row = 0; row < kMeshRows; ++row) {
      for (uint32_t column = 0; column <= kMeshColumns; ++column) {
        for (uint32_t edge = 0; edge < 2; ++edge) {
          const float x = static_cast<float>(column) / kMeshColumns;
          const float y = static_cast<float>(row + edge) / kMeshRows;
          KsPointF st;
          texture.ImagePointToTexture({x, y}, &st);
          const uint32_t vertex = column * 2 + edge;
          mesh->SetVertexXYZ(row, vertex, x * kScreenWidth, y * kScreenHeight, 0.0f);
          mesh->SetVertexTexCoords(row, vertex, st);
        }
      }
    }
    mesh->UnlockBuffer();
  }

  // One drawn frame, finished on the card.
  bool Draw() {
    using Clock = std::chrono::steady_clock;
    if (renderer->BeginUpdate() != 0) return false;
    const auto start = Clock::now();
    set->UpdateForRenderer(renderer);
    const auto taken = Clock::now();
    KsRef<HcTexture> texture;
    bool drawn = false;
    if (set->GetTextureForQuadrant(15, texture) == 0) {
      MapMesh(*texture);
      renderer->Ortho2D(KsRectF(0, 0, kScreenWidth, kScreenHeight), true);
      renderer->ModelViewIdentity();
      renderer->SetDepthFunc(6);
      drawn = texture->Activate() == 0 && mesh->Draw() == 0;
      texture->Deactivate();
    }
    renderer->EndUpdate();
    const auto issued = Clock::now();
    glFinish();
    takeSeconds += std::chrono::duration<double>(taken - start).count();
    drawSeconds += std::chrono::duration<double>(issued - taken).count();
    finishSeconds += std::chrono::duration<double>(Clock::now() - issued).count();
    return drawn;
  }
};

struct OurRun {
  bool ok = false;
  double seconds = 0.0;  // decoder set-up, decoding, uploading and drawing, after the file is opened
  double peakMemoryMiB = 0.0;
  double takeMs = 0.0;  // per frame, on the drawing thread
  double drawMs = 0.0;
  double finishMs = 0.0;
};

// Every frame of the movie decoded, uploaded and drawn as fast as it goes:
// the movie clock moves to each next frame once the previous one is drawn.
// Timed like ffmpeg times itself: from the decoder's set-up, not counting the
// file's opening and stream probing.
OurRun PlayToScreen(const std::string& path) {
  OurRun run;
  // Read by the decode thread: declared first, so it outlives what reads it.
  std::atomic<uint64_t> host{1000};
  Screen screen;
  if (!screen.Make(path)) return run;
  screen.movie->GetTimeBase()->SetHostClock([&host] { return host.load(); });
  screen.movie->SetRate(1.0);
  const auto start = std::chrono::steady_clock::now();
  if (screen.context->SetMovie(screen.movie.get()) != PlaybackErr::Ok) return run;
  int drawn = 0;
  for (int frame = 0; frame < moviebench::kFrames; ++frame) {
    host = 1000 + static_cast<uint64_t>(frame) * 1000000000ull / moviebench::kFps;
    if (screen.context->WaitForImage(nullptr, 20000) != PlaybackErr::Ok) break;
    if (screen.Draw()) ++drawn;
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() -
                screen.context->GetStatistics().inputOpenSeconds;
  run.peakMemoryMiB = moviebench::PeakMemoryMiB();
  run.takeMs = screen.takeSeconds * 1000 / moviebench::kFrames;
  run.drawMs = screen.drawSeconds * 1000 / moviebench::kFrames;
  run.finishMs = screen.finishSeconds * 1000 / moviebench::kFrames;
  run.ok = drawn == moviebench::kFrames && screen.context->GetStatistics().framesConverted == 0;
  return run;
}

void BM_PlayToScreenAgainstFfmpeg(benchmark::State& state, MovieKind kind) {
  const std::string& path = moviebench::MoviePath(kind);
  const int cores = moviebench::PinToCores(kThreads);
  std::vector<double> ratios;
  std::vector<double> ours;
  std::vector<double> theirs;
  double peak = 0.0;
  OurRun last;
  for (auto _ : state) {
    for (int repetition = 0; repetition < Repetitions(); ++repetition) {
      // Alternate which side goes first, so that neither always meets a warmer cache.
      moviebench::FfmpegRun ffmpeg;
      if (repetition % 2 == 1) ffmpeg = moviebench::RunFfmpegDecode(path, kThreads);
      const OurRun run = PlayToScreen(path);
      last = run;
      if (repetition % 2 == 0) ffmpeg = moviebench::RunFfmpegDecode(path, kThreads);
      if (!run.ok || !ffmpeg.ok) {
        state.SkipWithError("no movie, no OpenGL context, frames missing or converted, or ffmpeg failed");
        return;
      }
      ours.push_back(moviebench::kFrames / run.seconds);
      theirs.push_back(moviebench::kFrames / ffmpeg.decodeSeconds);
      ratios.push_back(ffmpeg.decodeSeconds / run.seconds);
      peak = std::max(peak, run.peakMemoryMiB);
    }
  }
  const double ratio = moviebench::Median(ratios);
  state.counters["frames/s"] = moviebench::Median(ours);
  state.counters["ffmpeg frames/s"] = moviebench::Median(theirs);
  state.counters["median ratio"] = ratio;
  state.counters["peak memory MiB"] = peak;
  std::printf(
      "play to screen 3840x1920 -> 1280x720 %s: ours %.1f frames/s, ffmpeg -f null %.1f frames/s, median ratio %.2f "
      "over %zu interleaved runs (goal 0.9; %d decoder threads, both on %d cores); peak memory %.0f MiB; drawing "
      "thread per frame: take in %.2f ms, draw %.2f ms, wait for the drawing %.2f ms\n",
      moviebench::NameOf(kind), moviebench::Median(ours), moviebench::Median(theirs), ratio, ratios.size(), kThreads,
      cores, peak, last.takeMs, last.drawMs, last.finishMs);
}

// The display-link step while paused: the movie is tasked and the renderer's
// dirty flag read; nothing is due, so nothing is drawn. The texture set's
// update runs too and, with nothing new, leaves the frame as it is. Runs with
// no OpenGL context current: any upload would fail and show in the count.
void BM_RefreshWithoutNewFrame(benchmark::State& state) {
  Screen screen;
  if (!screen.Make(moviebench::MoviePath(MovieKind::RealLooking)) ||
      screen.context->SetMovie(screen.movie.get()) != PlaybackErr::Ok ||
      screen.context->WaitForImage(nullptr, 20000) != PlaybackErr::Ok || !screen.Draw()) {
    state.SkipWithError("no movie or no OpenGL context");
    return;
  }
  screen.renderer->SetIsDirty(false);
  const uint64_t uploads = screen.context->GetStatistics().framesShown;
  hc::gl::GlContext::ClearCurrent();
  long allocations = 0;
  int drawnFrames = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    const long before = t_allocations;
    const auto start = std::chrono::steady_clock::now();
    for (int refresh = 0; refresh < kIdleRefreshes; ++refresh) {
      screen.context->Task();
      screen.set->UpdateForRenderer(screen.renderer);
      if (screen.renderer->GetIsDirty()) ++drawnFrames;
    }
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    allocations = t_allocations - before;
  }
  const uint64_t uploaded = screen.context->GetStatistics().framesShown - uploads;
  if (!kCountsAllocations) allocations = -1;
  state.counters["allocations"] = static_cast<double>(allocations);
  state.counters["uploads"] = static_cast<double>(uploaded);
  state.counters["us/refresh"] = seconds * 1e6 / kIdleRefreshes;
  std::printf(
      "refresh with no new frame: %d refreshes, %ld allocations (-1: not counted here), %llu uploads, %d frames drawn, no OpenGL context "
      "current, %.2f us a refresh\n",
      kIdleRefreshes, allocations, static_cast<unsigned long long>(uploaded), drawnFrames,
      seconds * 1e6 / kIdleRefreshes);
}

BENCHMARK_CAPTURE(BM_PlayToScreenAgainstFfmpeg, real, MovieKind::RealLooking)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PlayToScreenAgainstFfmpeg, fast, MovieKind::FastToDecode)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_RefreshWithoutNewFrame)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// llvmpipe draws with as many threads as the decoder has.
int main(int argc, char** argv) {
  setenv("LP_NUM_THREADS", std::to_string(kThreads).c_str(), 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
