// Read-back of a drawn 1920 x 1080 frame into memory, top row first, in each
// byte order the layer offers.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gl/GlContext.h"
#include "platform/gl/GlOffscreenDrawable.h"
#include "platform/gl/GlPixelFormat.h"
#include "platform/gl/GlReadBack.h"

namespace {

using hc::gl::GlContext;
using hc::gl::GlError;
using hc::gl::GlOffscreenDrawable;
using hc::gl::GlPixelFormat;
using hc::gl::GlReadBack;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

void ReadBackFrame(benchmark::State& state, GlReadBack::ByteOrder order) {
  std::unique_ptr<GlPixelFormat> format;
  std::unique_ptr<GlContext> context;
  std::unique_ptr<GlOffscreenDrawable> drawable;
  if (GlPixelFormat::Create({true, 32, 8, 16, true}, &format) != GlError::None ||
      GlContext::Create(*format, nullptr, &context) != GlError::None ||
      context->MakeCurrent() != GlError::None ||
      GlOffscreenDrawable::Create(kWidth, kHeight, &drawable) != GlError::None) {
    state.SkipWithError("no OpenGL context");
    return;
  }
  drawable->Bind();
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glBegin(GL_TRIANGLES);
  glColor3f(1, 0, 0);
  glVertex2f(-1, -1);
  glColor3f(0, 1, 0);
  glVertex2f(1, -1);
  glColor3f(0, 0, 1);
  glVertex2f(0, 1);
  glEnd();
  glFinish();

  const size_t rowBytes = static_cast<size_t>(kWidth) * 4;
  std::vector<uint8_t> frame(rowBytes * kHeight);
  for (auto _ : state) {
    if (drawable->ReadPixels(order, frame.data(), frame.size(), rowBytes) != GlError::None) {
      state.SkipWithError("read-back failed");
      break;
    }
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(frame.size()));
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  drawable.reset();
  GlContext::ClearCurrent();
}

void BM_ReadBack1080pARGB(benchmark::State& state) {
  ReadBackFrame(state, GlReadBack::ByteOrder::ARGB);
}
void BM_ReadBack1080pBGRA(benchmark::State& state) {
  ReadBackFrame(state, GlReadBack::ByteOrder::BGRA);
}

BENCHMARK(BM_ReadBack1080pARGB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBack1080pBGRA)->Unit(benchmark::kMillisecond);

}  // namespace
