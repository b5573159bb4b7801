// Nanoseconds per mapping call of each projection: GetPointForAngleRad
// (direction to image point) and GetAngleRadForPoint (image point to
// direction), the calls made once per mesh vertex or output pixel. Each
// iteration is one call; "Time" is the figure, and "mapped" the share of
// calls that answered a point or direction. Planar and cube-map projections
// map nothing by design (both calls answer false at once), so they have no
// row: their time would say nothing about mapping.

#include <benchmark/benchmark.h>

#include <functional>
#include <numbers>
#include <vector>

#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/LinearFunc.h"
#include "Projection/RadialFuncProj.h"

namespace {

KsRef<PanoProjection> MakeLinearRing() {
  auto radius = KsMakeRef<LinearFunc>();
  radius->SetAngleMinDeg(-90.0f);
  radius->SetAngleMaxDeg(30.0f);
  auto p = KsMakeRef<RadialFuncProj>();
  p->SetRadialFunc(radius);
  return p;
}

struct Input {
  float a;
  float b;
};

// Directions over the valid tilt band and points over the image, cycled
// through so that no branch predictor learns one value.
std::vector<Input> Directions() {
  std::vector<Input> inputs;
  for (int i = 0; i < 64; ++i) {
    for (int j = 0; j < 16; ++j) {
      inputs.push_back({static_cast<float>(i * 2 * std::numbers::pi / 64),
                        static_cast<float>((-40.0 + 5.0 * j) * std::numbers::pi / 180)});
    }
  }
  return inputs;
}

std::vector<Input> Points() {
  std::vector<Input> inputs;
  for (int i = 0; i < 32; ++i) {
    for (int j = 0; j < 32; ++j) inputs.push_back({(i + 0.5f) / 32, (j + 0.5f) / 32});
  }
  return inputs;
}

// A row whose calls mostly answer false times the early way out, not the
// mapping: it fails instead of printing a figure.
void ReportMapped(benchmark::State& state, size_t mapped) {
  const double share = state.iterations() ? static_cast<double>(mapped) / static_cast<double>(state.iterations()) : 0;
  state.counters["mapped"] = share;
  if (share < 0.5) state.SkipWithError("the projection maps fewer than half of the inputs");
}

void PointForAngle(benchmark::State& state, std::function<KsRef<PanoProjection>()> make) {
  KsRef<PanoProjection> projection = make();
  const std::vector<Input> inputs = Directions();
  size_t k = 0;
  size_t mapped = 0;
  for (auto _ : state) {
    float x = 0.0f;
    float y = 0.0f;
    const Input& in = inputs[k++ % inputs.size()];
    const bool answered = projection->GetPointForAngleRad(in.a, in.b, &x, &y);
    mapped += answered ? 1 : 0;
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
  }
  ReportMapped(state, mapped);
}

void AngleForPoint(benchmark::State& state, std::function<KsRef<PanoProjection>()> make) {
  KsRef<PanoProjection> projection = make();
  const std::vector<Input> inputs = Points();
  size_t k = 0;
  size_t mapped = 0;
  for (auto _ : state) {
    float pan = 0.0f;
    float tilt = 0.0f;
    const Input& in = inputs[k++ % inputs.size()];
    const bool answered = projection->GetAngleRadForPoint(in.a, in.b, &pan, &tilt);
    mapped += answered ? 1 : 0;
    benchmark::DoNotOptimize(pan);
    benchmark::DoNotOptimize(tilt);
  }
  ReportMapped(state, mapped);
}

KsRef<PanoProjection> MakeEquirectangular() { return KsMakeRef<EquirectangularProj>(); }
KsRef<PanoProjection> MakeCylindrical() { return KsMakeRef<CylindricalProj>(); }
KsRef<PanoProjection> MakeOptic() { return KsMakeRef<KestrelProj>(); }

}  // namespace

BENCHMARK_CAPTURE(PointForAngle, Equirectangular, MakeEquirectangular);
BENCHMARK_CAPTURE(PointForAngle, Cylindrical, MakeCylindrical);
BENCHMARK_CAPTURE(PointForAngle, RadialLinear, MakeLinearRing);
BENCHMARK_CAPTURE(PointForAngle, KestrelOptic, MakeOptic);
BENCHMARK_CAPTURE(AngleForPoint, Equirectangular, MakeEquirectangular);
BENCHMARK_CAPTURE(AngleForPoint, Cylindrical, MakeCylindrical);
BENCHMARK_CAPTURE(AngleForPoint, RadialLinear, MakeLinearRing);
BENCHMARK_CAPTURE(AngleForPoint, KestrelOptic, MakeOptic);
