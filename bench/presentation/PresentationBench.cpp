// The presentation's two hot paths.
//
// BM_IdleStepNothingChanged: the per-refresh idle step (HcContextHelper::
// IdleClocks) of a scene built from a presentation (a still source, a
// perspective viewset) drawn once off screen, with nothing moving: every step
// answers 2 (nothing to draw). ns_per_step must stay under 1000 and
// allocations_per_step at 0. The anchor, interleaved batch by batch in the
// same run, ticks the same three clocks directly, without the step around
// them; x_bare_clocks is the median of step time / anchor time.
//
// BM_LoadPresentation: reading a presentation's HcML with 10 viewsets and
// 100 view tweens and building its scene (InitContextFromHcML), as a
// document does when it opens a movie. ms_per_load is the median time,
// kib_held the memory the presentation and its scene hold once built,
// allocations_per_load the allocations made. The anchor, interleaved, only
// reads the same text into objects (no scene is built); x_parse_only is the
// median of load time / parse time.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "InterfaceCommon/GLPbufferContextMac.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcPresentation.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "Source/BufferSource.h"
#include "Source/PixelFormatInfo.h"
#include "Time/HcClock.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/Chameleon.h"
#include "Utilities/HcMLLoader.h"

namespace {
std::atomic<int64_t> g_allocations{0};
std::atomic<int64_t> g_liveBytes{0};
}  // namespace

// Every allocation of the program is counted, with the bytes it holds (the
// drawing library's own included, so every form is replaced). The
// replacement pair is malloc and free, which the compiler can't see match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
void* CountedAlloc(std::size_t size) noexcept {
  void* p = std::malloc(size ? size : 1);
  if (!p) return nullptr;
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  g_liveBytes.fetch_add(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
  return p;
}
void CountedFree(void* p) noexcept {
  if (!p) return;
  g_liveBytes.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
  std::free(p);
}
}  // namespace
void* operator new(std::size_t size) {
  if (void* p = CountedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = CountedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBatch = 1000;
constexpr int kViewsets = 10;
constexpr int kTweens = 100;
constexpr const char* kNamespaces =
    "xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '&') {
      out += "&amp;";
    } else {
      out += c;
    }
  }
  return out;
}

std::string ViewsetElement(const std::string& element, int index) {
  const std::string name = "Viewset" + std::to_string(index);
  return "<" + element + " xsi:type=\"Viewset\"><Name>" + name +
         "</Name><MainViewPath>hc://View</MainViewPath><ViewHcML><![CDATA[<View " + kNamespaces +
         " xsi:type=\"PerspectiveView\"><Name>" + name +
         "View</Name><Source xsi:type=\"PanoSource\" href=\"hc://Source\"/></View>]]></ViewHcML></" + element + ">";
}

// The presentation: its first viewset as ViewsetHcML, the others through
// LoadHcML, and the view tweens as ViewTweensHcML; with a live source (an
// empty buffer source) when asked, as the movie's track would give it.
std::string PresentationText(int viewsets, int tweens, bool withSource) {
  const std::string sources =
      withSource ? "<SourceList xsi:type=\"SourceDescriptionCollection\"><SourceDescription "
                   "xsi:type=\"SourceDescription\"><LiveSource xsi:type=\"BufferSource\"/></SourceDescription>"
                   "</SourceList>"
                 : "";
  std::string tweenText = std::string("<Tweens ") + kNamespaces + " xsi:type=\"tweens\">";
  for (int i = 0; i < tweens; ++i) {
    tweenText += "<tween xsi:type=\"HcLinearFloatTween\"><Name>Tween" + std::to_string(i) +
                 "</Name><StartTime>" + std::to_string(i) + "</StartTime><EndTime>" + std::to_string(i + 10) +
                 "</EndTime></tween>";
  }
  tweenText += "</Tweens>";
  std::string more;
  for (int i = 1; i < viewsets; ++i) {
    more += "<String>" +
            Escaped(std::string("<Viewsets ") + kNamespaces + " xsi:type=\"viewsets\" href=\"hc://Viewsets\">" +
                    ViewsetElement("viewset", i) + "</Viewsets>") +
            "</String>";
  }
  std::string first = ViewsetElement("Viewset", 0);
  first.insert(first.find(' '), std::string(" ") + kNamespaces);
  return std::string("<HcPresentation ") + kNamespaces + " xsi:type=\"HcPresentation\"><ViewsetName>Viewset0" +
         "</ViewsetName><ViewsetHcML>" + Escaped(first) + "</ViewsetHcML><ViewTweensHcML>" + Escaped(tweenText) +
         "</ViewTweensHcML><LoadHcML xsi:type=\"Strings\">" + more + "</LoadHcML>" + sources + "</HcPresentation>";
}

KsRef<HcPresentation> ReadPresentation(const std::string& text) {
  auto holder = KsMakeRef<Chameleon>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(holder);
  loader->SetHcMLToLoad(PWStringRef(text));
  if (AppErrFailed(loader->LoadHcML())) return {};
  return holder->GetPropValue().DynamicCast<HcPresentation>();
}

// A grey equirectangular picture as the live source of the main description.
KsRef<BufferSource> StillSource() {
  auto source = KsMakeRef<BufferSource>();
  source->SetPixelFormat(PixelFormatInfo::k24RGB);
  source->SetProjection(KsMakeRef<EquirectangularProj>());
  if (AppErrFailed(source->CreateBuffer(512, 256))) return {};
  std::memset(source->GetBaseAddress(), 128, source->GetBufferSize());
  source->FrameReady();
  return source;
}

void BM_IdleStepNothingChanged(benchmark::State& state) {
  RegisterAllClasses();
  KsRef<HcPresentation> presentation = ReadPresentation(PresentationText(1, 0, false));
  KsRef<BufferSource> source = StillSource();
  if (!presentation || !source) return state.SkipWithError("no presentation");
  presentation->GetMainSource()->SetLiveSource(source);
  if (AppErrFailed(presentation->SetInitContextFromHcML(true))) return state.SkipWithError("build failed");
  KsRef<HcContextHelper> context = presentation->GetHcContext();
  auto helper = KsMakeRef<GLPbufferContextMac>();
  helper->SetContext(context);
  helper->Resize(0, 0, 640, 480);
  helper->SetActive(true);
  if (AppErrFailed(context->IdleClocks()) || AppErrFailed(helper->Draw())) return state.SkipWithError("no drawing");
  if (context->IdleClocks() != HcContextHelper::kNothingToDraw) return state.SkipWithError("the scene is not idle");

  KsRef<HcClock> realtime = context->GetRealtimeClock();
  KsRef<HcClock> idle = context->GetIdleClock();
  std::vector<double> stepTimes, ratios;
  int64_t allocations = 0;
  int64_t steps = 0;
  for (auto _ : state) {
    const int64_t allocationsBefore = g_allocations.load(std::memory_order_relaxed);
    const Clock::time_point stepStart = Clock::now();
    for (int i = 0; i < kBatch; ++i) benchmark::DoNotOptimize(context->IdleClocks());
    const double stepSeconds = Seconds(stepStart);
    allocations += g_allocations.load(std::memory_order_relaxed) - allocationsBefore;
    const Clock::time_point anchorStart = Clock::now();
    for (int i = 0; i < kBatch; ++i) {
      benchmark::DoNotOptimize(realtime->Idle());
      benchmark::DoNotOptimize(idle->Idle());
    }
    const double anchorSeconds = Seconds(anchorStart);
    state.SetIterationTime(stepSeconds);
    stepTimes.push_back(stepSeconds / kBatch);
    if (anchorSeconds > 0) ratios.push_back(stepSeconds / anchorSeconds);
    steps += kBatch;
  }
  if (context->IdleClocks() != HcContextHelper::kNothingToDraw) state.SkipWithError("the scene stopped being idle");
  state.counters["ns_per_step"] = Median(stepTimes) * 1e9;
  state.counters["allocations_per_step"] = steps ? static_cast<double>(allocations) / static_cast<double>(steps) : 0;
  state.counters["x_bare_clocks"] = Median(ratios);
  helper->ReleaseGLResources();
}
BENCHMARK(BM_IdleStepNothingChanged)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly(false);

void BM_LoadPresentation(benchmark::State& state) {
  RegisterAllClasses();
  const std::string text = PresentationText(kViewsets, kTweens, true);
  std::vector<double> loadTimes, ratios, heldBytes;
  int64_t allocations = 0;
  int64_t loads = 0;
  for (auto _ : state) {
    const int64_t allocationsBefore = g_allocations.load(std::memory_order_relaxed);
    const int64_t bytesBefore = g_liveBytes.load(std::memory_order_relaxed);
    const Clock::time_point loadStart = Clock::now();
    KsRef<HcPresentation> presentation = ReadPresentation(text);
    const eAppErr built = presentation ? presentation->SetInitContextFromHcML(true) : AppErr::kGeneral;
    const double loadSeconds = Seconds(loadStart);
    heldBytes.push_back(static_cast<double>(g_liveBytes.load(std::memory_order_relaxed) - bytesBefore));
    allocations += g_allocations.load(std::memory_order_relaxed) - allocationsBefore;
    KsRef<HcContextHelper> context = presentation ? presentation->GetHcContext() : KsRef<HcContextHelper>();
    if (AppErrFailed(built) || context->GetViewsets()->GetCount() != kViewsets || !context->GetTweens() ||
        context->GetTweens()->GetCount() != kTweens) {
      return state.SkipWithError("the presentation did not load whole");
    }
    context = nullptr;
    presentation = nullptr;
    const Clock::time_point parseStart = Clock::now();
    benchmark::DoNotOptimize(ReadPresentation(text));
    const double parseSeconds = Seconds(parseStart);
    state.SetIterationTime(loadSeconds);
    loadTimes.push_back(loadSeconds);
    if (parseSeconds > 0) ratios.push_back(loadSeconds / parseSeconds);
    ++loads;
  }
  state.counters["ms_per_load"] = Median(loadTimes) * 1e3;
  state.counters["kib_held"] = Median(heldBytes) / 1024.0;
  state.counters["allocations_per_load"] = loads ? static_cast<double>(allocations) / static_cast<double>(loads) : 0;
  state.counters["x_parse_only"] = Median(ratios);
  state.counters["viewsets"] = kViewsets;
  state.counters["tweens"] = kTweens;
}
BENCHMARK(BM_LoadPresentation)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly(false);

}  // namespace
