#include "platform/runtime/KeyValueObserving.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/runtime/MessageSend.h"
#include "platform/runtime/WeakId.h"

namespace hc::runtime {

namespace {

struct Registration {
  Id observer;  // identity only; never sent to without loading the weak reference
  WeakId weakObserver;
  std::string key;
  void* context;
};

struct ObservationTable {
  std::mutex lock;
  std::map<Id, std::vector<Registration>> byTarget;
};

ObservationTable& Table() {
  static ObservationTable* table = new ObservationTable();
  return *table;
}

}  // namespace

RuntimeErr AddKeyObserver(Id target, Id observer, const std::string& key, void* context) {
  if (!target || !observer) return RuntimeErr::NilReceiver;
  if (key.find('.') != std::string::npos) return RuntimeErr::UnsupportedKeyPath;
  ObservationTable& table = Table();
  std::lock_guard guard(table.lock);
  table.byTarget[target].push_back(Registration{observer, WeakId(observer), key, context});
  return RuntimeErr::Ok;
}

RuntimeErr RemoveKeyObserver(Id target, Id observer, const std::string& key) {
  if (key.find('.') != std::string::npos) return RuntimeErr::UnsupportedKeyPath;
  ObservationTable& table = Table();
  std::lock_guard guard(table.lock);
  auto found = table.byTarget.find(target);
  if (found == table.byTarget.end()) return RuntimeErr::Ok;
  std::erase_if(found->second, [&](const Registration& r) { return r.observer == observer && r.key == key; });
  if (found->second.empty()) table.byTarget.erase(found);
  return RuntimeErr::Ok;
}

void NotifyKeyObservers(Id target, const std::string& key, const KeyValueChange& change) {
  std::vector<std::pair<ObjectRef, void*>> live;
  {
    ObservationTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.byTarget.find(target);
    if (found == table.byTarget.end()) return;
    for (const Registration& registration : found->second) {
      if (registration.key != key) continue;
      if (ObjectRef observer = registration.weakObserver.Load()) live.emplace_back(observer, registration.context);
    }
  }
  for (const auto& [observer, context] : live) SendObservation(observer.Get(), key, target, change, context);
}

void ForgetKeyObservers(Id target) {
  ObservationTable& table = Table();
  std::lock_guard guard(table.lock);
  table.byTarget.erase(target);
}

RuntimeErr SendObservation(Id observer, const std::string& key, Id object, const KeyValueChange& change,
                           void* context) {
  const Value arguments[] = {Value::String(key), Value::Object(object), Value::Change(change),
                             Value::Pointer(context)};
  return Send(observer, RegisterSelector("observeValueForKeyPath:ofObject:change:context:"), arguments, nullptr);
}

}  // namespace hc::runtime
