// Nanoseconds per mapping call of each projection: GetPointForAngleRad
// (direction to image point) and GetAngleRadForPoint (image point to
// direction), the calls made once per mesh vertex or output pixel. Each
// iteration is one call; "Time" is the figure.

#include <benchmark/benchmark.h>

#include <functional>
#include <numbers>
#include <vector>

#include "Projection/CubicProjection.h"
#include "Projection/CylindricalProj.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/KestrelProj.h"
#include "Projection/LinearFunc.h"
#include "Projection/PlanarProjection.h"
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

KsRef<PanoProjection> MakeCube() {
  KsRef<CubicProjection> cube;
  CubicProjection::Create3By2CubicProjection(cube);
  return cube;
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

void PointForAngle(benchmark::State& state, std::function<KsRef<PanoProjection>()> make) {
  KsRef<PanoProjection> projection = make();
  const std::vector<Input> inputs = Directions();
  size_t k = 0;
  for (auto _ : state) {
    float x = 0.0f;
    float y = 0.0f;
    const Input& in = inputs[k++ % inputs.size()];
    benchmark::DoNotOptimize(projection->GetPointForAngleRad(in.a, in.b, &x, &y));
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
  }
}

void AngleForPoint(benchmark::State& state, std::function<KsRef<PanoProjection>()> make) {
  KsRef<PanoProjection> projection = make();
  const std::vector<Input> inputs = Points();
  size_t k = 0;
  for (auto _ : state) {
    float pan = 0.0f;
    float tilt = 0.0f;
    const Input& in = inputs[k++ % inputs.size()];
    benchmark::DoNotOptimize(projection->GetAngleRadForPoint(in.a, in.b, &pan, &tilt));
    benchmark::DoNotOptimize(pan);
    benchmark::DoNotOptimize(tilt);
  }
}

KsRef<PanoProjection> MakeEquirectangular() { return KsMakeRef<EquirectangularProj>(); }
KsRef<PanoProjection> MakeCylindrical() { return KsMakeRef<CylindricalProj>(); }
KsRef<PanoProjection> MakeOptic() { return KsMakeRef<KestrelProj>(); }
KsRef<PanoProjection> MakePlanar() { return KsMakeRef<PlanarProjection>(); }

}  // namespace

BENCHMARK_CAPTURE(PointForAngle, Equirectangular, MakeEquirectangular);
BENCHMARK_CAPTURE(PointForAngle, Cylindrical, MakeCylindrical);
BENCHMARK_CAPTURE(PointForAngle, RadialLinear, MakeLinearRing);
BENCHMARK_CAPTURE(PointForAngle, KestrelOptic, MakeOptic);
BENCHMARK_CAPTURE(PointForAngle, Planar, MakePlanar);
BENCHMARK_CAPTURE(PointForAngle, Cubic, MakeCube);
BENCHMARK_CAPTURE(AngleForPoint, Equirectangular, MakeEquirectangular);
BENCHMARK_CAPTURE(AngleForPoint, Cylindrical, MakeCylindrical);
BENCHMARK_CAPTURE(AngleForPoint, RadialLinear, MakeLinearRing);
BENCHMARK_CAPTURE(AngleForPoint, KestrelOptic, MakeOptic);
BENCHMARK_CAPTURE(AngleForPoint, Planar, MakePlanar);
BENCHMARK_CAPTURE(AngleForPoint, Cubic, MakeCube);
