// Key-value access to a model object through its proxy class: value for key
// and set value for key, with the class object's selector cache warm
// (cached) and emptied before every call (uncached: the selector's name is
// parsed and the property looked up by name each time).
#include <benchmark/benchmark.h>

#include "General/CocoaBridge.h"
#include "General/KsValueWrapper.h"
#include "platform/runtime/KeyValueCoding.h"

namespace rt = hc::runtime;

namespace {

struct Subject {
  KsRef<KsValueWrapper> model = KsMakeRef<KsValueWrapper>();
  rt::ObjectRef id = GetCocoaObject(model.Get());
  KsRef<KsClassObject> classObject = model->GetClassObject();
};

void ValueForKey(benchmark::State& state, bool cached) {
  Subject subject;
  rt::Value value;
  for (auto _ : state) {
    if (!cached) subject.classObject->ObjC_ClearSelectorCache();
    rt::ValueForKey(subject.id.Get(), "FloatValue", &value);
    benchmark::DoNotOptimize(value);
  }
}

void SetValueForKey(benchmark::State& state, bool cached) {
  Subject subject;
  const rt::Value value = rt::Value::Float(1.5f);
  for (auto _ : state) {
    if (!cached) subject.classObject->ObjC_ClearSelectorCache();
    rt::SetValueForKey(subject.id.Get(), "FloatValue", value);
  }
}

}  // namespace

BENCHMARK_CAPTURE(ValueForKey, cached_selector, true);
BENCHMARK_CAPTURE(ValueForKey, uncached_selector, false);
BENCHMARK_CAPTURE(SetValueForKey, cached_selector, true);
BENCHMARK_CAPTURE(SetValueForKey, uncached_selector, false);
