// One clock tick, the step every display refresh runs per clock.
//
// BM_TickWith100FloatTweens: a manual clock with 100 linear float tweens,
// each writing one float property of its own object through a binding.
// ns_per_tween is the tick's time over 100. The anchor, in the same run and
// interleaved with the ticks, does the same writes without the clock and the
// tweens: the same 100 values through the same bindings. x_direct_writes is
// the median over the batches of tick time / anchor time.
//
// BM_TickWithNothingDue: the same clock when no tween is due (all start
// later), the refresh of an idle scene; ns_per_tick must stay under 1000 and
// allocations_per_tick at 0. Its anchor asks the same 100 tweens directly
// whether they are due (the window test the tick makes). BM_TickEmptyClock is
// a clock with no tweens at all.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "Time/HcLinearFloatTween.h"
#include "Time/HcManualClock.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/HcPropertyDirectGet.h"

namespace {
std::atomic<int64_t> g_allocations{0};
}  // namespace

// Every allocation of the program is counted. The replacement pair is
// malloc and free, which the compiler can't see match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

class BenchTarget : public KsObject {
  HC_CLASS_HEADER(BenchTarget)
 public:
  float GetValue() const { return m_value; }
  eAppErr SetValue(float value) {
    m_value = value;
    return AppErr::kNoErr;
  }

 private:
  float m_value = 0.0f;
};
HC_CLASS_OBJECT(BenchTarget, KsObject)

}  // namespace

HC_DEFINE_CLASS(BenchTarget, KsObject, "BenchTarget")
void BenchTarget::BenchTargetClass::SetupProperties() {
  AddProperty(HcPropertyDirectGet<BenchTarget, float>::Create(ThisRef(), 200, KsPropertyType::kFloat, "Value", true,
                                                              &BenchTarget::GetValue, &BenchTarget::SetValue));
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTweens = 100;
constexpr int kBatch = 64;  // ticks per timed batch

struct Scene {
  KsRef<HcManualClock> clock = KsMakeRef<HcManualClock>();
  std::vector<KsRef<BenchTarget>> targets;
  std::vector<KsRef<HcLinearFloatTween>> tweens;
  std::vector<KsRef<HcPropertyBindingBase>> bindings;

  explicit Scene(double startTime) {
    for (int i = 0; i < kTweens; ++i) {
      auto target = KsMakeRef<BenchTarget>();
      auto binding = KsMakeRef<HcPropertyBinding>();
      binding->SetTargetObject(target);
      binding->SetPropertyName("Value");
      auto tween = KsMakeRef<HcLinearFloatTween>();
      tween->SetBinding(binding);
      tween->SetStartTime(startTime);
      tween->SetEndTime(startTime + 1000.0);
      tween->SetStartValue(static_cast<float>(i));
      tween->SetEndValue(static_cast<float>(i + 360));
      clock->AddTween(tween);
      targets.push_back(target);
      tweens.push_back(tween);
      bindings.push_back(binding);
    }
    clock->Idle();  // takes its snapshot
  }
};

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// Times a batch of ticks and a batch of the anchor, alternately, per iteration.
template <class Tick, class Anchor>
void Interleaved(benchmark::State& state, Tick tick, Anchor anchor, std::vector<double>* tickTimes,
                 std::vector<double>* ratios, int64_t* allocations) {
  for (auto _ : state) {
    const int64_t allocationsBefore = g_allocations.load(std::memory_order_relaxed);
    const Clock::time_point tickStart = Clock::now();
    for (int i = 0; i < kBatch; ++i) tick(i);
    const double tickSeconds = Seconds(tickStart);
    *allocations += g_allocations.load(std::memory_order_relaxed) - allocationsBefore;
    const Clock::time_point anchorStart = Clock::now();
    for (int i = 0; i < kBatch; ++i) anchor(i);
    const double anchorSeconds = Seconds(anchorStart);
    state.SetIterationTime(tickSeconds);
    tickTimes->push_back(tickSeconds / kBatch);
    if (anchorSeconds > 0) ratios->push_back(tickSeconds / anchorSeconds);
  }
}

void BM_TickWith100FloatTweens(benchmark::State& state) {
  Scene scene(0.0);
  std::vector<double> tickTimes, ratios;
  int64_t allocations = 0;
  double t = 0.0;
  Interleaved(
      state,
      [&](int) {
        t = std::fmod(t + 0.016, 900.0);  // inside every tween's window
        scene.clock->SetTimeNow(t);
        benchmark::DoNotOptimize(scene.clock->Idle());
      },
      [&](int) {
        // The values the tweens compute, written straight through the bindings.
        t = std::fmod(t + 0.016, 900.0);
        const double u = t / 1000.0;
        for (int i = 0; i < kTweens; ++i) {
          benchmark::DoNotOptimize(scene.bindings[i]->SetValue(static_cast<float>((1.0 - u) * i + u * (i + 360))));
        }
      },
      &tickTimes, &ratios, &allocations);
  state.counters["ns_per_tween"] = Median(tickTimes) * 1e9 / kTweens;
  state.counters["x_direct_writes"] = Median(ratios);
  state.counters["tweens"] = kTweens;
}
BENCHMARK(BM_TickWith100FloatTweens)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly(false);

void BM_TickWithNothingDue(benchmark::State& state) {
  Scene scene(1e9);
  KsRef<HcClock> clock = scene.clock;
  std::vector<double> tickTimes, ratios;
  int64_t allocations = 0;
  Interleaved(
      state, [&](int) { benchmark::DoNotOptimize(scene.clock->Idle()); },
      [&](int) {
        for (const auto& tween : scene.tweens) benchmark::DoNotOptimize(tween->Evaluate(0.0, clock));
      },
      &tickTimes, &ratios, &allocations);
  state.counters["ns_per_tick"] = Median(tickTimes) * 1e9;
  state.counters["x_window_tests"] = Median(ratios);
  state.counters["allocations_per_tick"] =
      state.iterations() ? static_cast<double>(allocations) / static_cast<double>(state.iterations() * kBatch) : 0;
}
BENCHMARK(BM_TickWithNothingDue)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly(false);

void BM_TickEmptyClock(benchmark::State& state) {
  auto clock = KsMakeRef<HcManualClock>();
  clock->Idle();
  const int64_t allocationsBefore = g_allocations.load(std::memory_order_relaxed);
  for (auto _ : state) benchmark::DoNotOptimize(clock->Idle());
  state.counters["allocations_per_tick"] =
      state.iterations() ? static_cast<double>(g_allocations.load() - allocationsBefore) /
                               static_cast<double>(state.iterations())
                         : 0;
}
BENCHMARK(BM_TickEmptyClock);

}  // namespace
