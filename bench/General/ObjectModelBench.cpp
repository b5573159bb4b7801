// Hot paths of the object model: reference counting, object creation with
// and without a weak reference, a property set through its descriptor with
// observers, and class lookup by name.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/WeakRef.h"
#include "Utilities/HcProperty.h"
#include "Utilities/HcPropertyDirectGet.h"

namespace {

class BenchDial : public KsObject {
  HC_CLASS_HEADER(BenchDial)
 public:
  float GetAngle() const { return m_angle; }
  eAppErr SetAngle(float angle) {
    m_angle = angle;
    return AppErr::kNoErr;
  }

 private:
  float m_angle = 0;
};
HC_CLASS_OBJECT(BenchDial, KsObject)

class BenchObserver : public KsObject {
  HC_CLASS_HEADER(BenchObserver)
 public:
  void ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>&, const KsRef<KsObject>&) override {
    ++notices;
  }
  int64_t notices = 0;
};
HC_CLASS_OBJECT(BenchObserver, KsObject)

}  // namespace

HC_DEFINE_CLASS(BenchDial, KsObject, "BenchDial")
void BenchDial::BenchDialClass::SetupProperties() {
  AddProperty(HcPropertyDirectGet<BenchDial, float>::Create(ThisRef(), 200, KsPropertyType::kFloat, "Angle", true,
                                                            &BenchDial::GetAngle, &BenchDial::SetAngle));
}
HC_DEFINE_CLASS(BenchObserver, KsObject, "BenchObserver")
void BenchObserver::BenchObserverClass::SetupProperties() {}

namespace {

KsObject* SharedObject() {
  static KsRef<KsObject> object = KsMakeRef<BenchDial>();
  return object.Get();
}

void BM_RetainReleasePair(benchmark::State& state) {
  KsObject* object = SharedObject();
  for (auto _ : state) {
    object->Retain();
    object->Release();
  }
}
BENCHMARK(BM_RetainReleasePair)->Threads(1)->Threads(4);

// The floor under a retain and release pair on this machine: one atomic
// increment and one atomic decrement of a shared word.
void BM_AtomicIncrementDecrementPair(benchmark::State& state) {
  static std::atomic<int32_t> word{1};
  for (auto _ : state) {
    word.fetch_add(1, std::memory_order_relaxed);
    benchmark::DoNotOptimize(word.fetch_sub(1, std::memory_order_acq_rel));
  }
}
BENCHMARK(BM_AtomicIncrementDecrementPair)->Threads(1)->Threads(4);

void BM_CreateDestroyObject(benchmark::State& state) {
  const bool withWeakRef = state.range(0) != 0;
  for (auto _ : state) {
    KsRef<BenchDial> object = KsMakeRef<BenchDial>();
    if (withWeakRef) benchmark::DoNotOptimize(WeakRef::GetWeakRef(object.Get()));
    benchmark::DoNotOptimize(object.Get());
  }
}
BENCHMARK(BM_CreateDestroyObject)->ArgName("weakref")->Arg(0)->Arg(1)->Threads(1)->Threads(4);

void BM_SetFloatThroughDescriptor(benchmark::State& state) {
  KsRef<BenchDial> dial = KsMakeRef<BenchDial>();
  KsRef<HcProperty> angle = dial->GetClassObject()->FindProperty("Angle");
  std::vector<KsRef<BenchObserver>> observers;
  for (int64_t i = 0; i < state.range(0); ++i) {
    observers.push_back(KsMakeRef<BenchObserver>());
    dial->AddObserver(observers.back(), "Angle", 0);
  }
  float value = 0;
  for (auto _ : state) {
    angle->SetValue(dial.Get(), value);
    value += 1.0f;
  }
  state.counters["observers"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_SetFloatThroughDescriptor)->Arg(0)->Arg(1)->Arg(8);

void BM_FindClassByNameInRandomCase(benchmark::State& state) {
  std::vector<std::string> names;
  for (const auto& classObject : HcClassMap::GetAllClassObjects()) names.push_back(classObject->GetName().Str());
  std::mt19937 random(42);
  std::vector<PWStringRef> queries;
  for (int i = 0; i < 1024; ++i) {
    std::string name = names[random() % names.size()];
    for (char& c : name) c = (random() & 1) ? static_cast<char>(std::toupper(c)) : static_cast<char>(std::tolower(c));
    queries.emplace_back(std::move(name));
  }
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(HcClassMap::FindClassObject(queries[next++ & 1023]));
  }
  state.counters["classes"] = static_cast<double>(names.size());
}
BENCHMARK(BM_FindClassByNameInRandomCase);

}  // namespace
