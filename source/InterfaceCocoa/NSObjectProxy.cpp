#include "InterfaceCocoa/NSObjectProxy.h"

#include <map>
#include <mutex>
#include <string>

#include "General/CocoaBridge.h"
#include "General/IntCollection.h"
#include "General/KsPropertyChangeDescription.h"
#include "platform/runtime/KeyValueObserving.h"
#include "platform/runtime/MainThreadQueue.h"
#include "platform/runtime/WeakId.h"

namespace rt = hc::runtime;

namespace {

// Plain object -> its proxies. Read by relays on whatever thread raised a
// change, changed by the run-time side and by model-object destruction.
struct ProxyMap {
  std::mutex lock;
  std::multimap<void*, KsRef<NSObjectProxy>> entries;
};

ProxyMap& GetProxyMap() {
  static ProxyMap* map = new ProxyMap();
  return *map;
}

bool HasEntryFor(void* object) {
  ProxyMap& map = GetProxyMap();
  std::lock_guard guard(map.lock);
  return map.entries.count(object) != 0;
}

rt::KeyValueChange ChangeFrom(const KsRef<KsObject>& description) {
  rt::KeyValueChange change;
  auto filled = description.DynamicCast<KsPropertyChangeDescription>();
  if (!filled) return change;
  change.kind = static_cast<uint32_t>(filled->GetChangeType());
  KsRef<IntCollection> indices = filled->GetChangeIndices();
  for (uint32_t i = 0; indices && i < indices->GetCount(); ++i) {
    change.indexes.push_back(static_cast<uint32_t>(indices->GetByIndex(i)));
  }
  return change;
}

}  // namespace

NSObjectProxy::NSObjectProxy() = default;
NSObjectProxy::~NSObjectProxy() = default;

eAppErr NSObjectProxy::SetObject(void* object) {
  KsRef<NSObjectProxy> self = ThisRef();
  RemoveFromProxyMap(self);
  ProxyMap& map = GetProxyMap();
  std::lock_guard guard(map.lock);
  m_object = object;
  map.entries.emplace(object, self);
  return AppErr::kNoErr;
}

eAppErr NSObjectProxy::SetContext(void* context) {
  DidChangeCaller change(this, kContextId);
  m_context = context;
  return AppErr::kNoErr;
}

eAppErr NSObjectProxy::SetKeyPath(const PWStringRef& keyPath) {
  DidChangeCaller change(this, kKeyPathId);
  m_keyPath = keyPath;
  return AppErr::kNoErr;
}

void NSObjectProxy::RemoveFromProxyMap(const KsRef<NSObjectProxy>& proxy) {
  if (!proxy) return;
  KsRef<NSObjectProxy> removed;  // released after the lock
  ProxyMap& map = GetProxyMap();
  std::lock_guard guard(map.lock);
  auto [first, last] = map.entries.equal_range(proxy->m_object);
  for (auto it = first; it != last; ++it) {
    if (it->second == proxy) {
      removed = std::move(it->second);
      map.entries.erase(it);
      return;
    }
  }
}

size_t NSObjectProxy::RemoveAllProxiesForNSObject(void* object) {
  std::multimap<void*, KsRef<NSObjectProxy>> removed;  // released after the lock
  ProxyMap& map = GetProxyMap();
  std::lock_guard guard(map.lock);
  auto [first, last] = map.entries.equal_range(object);
  for (auto it = first; it != last;) {
    auto node = map.entries.extract(it++);
    removed.insert(std::move(node));
  }
  return removed.size();
}

size_t NSObjectProxy::CountProxiesForNSObject(void* object) {
  ProxyMap& map = GetProxyMap();
  std::lock_guard guard(map.lock);
  return map.entries.count(object);
}

void NSObjectProxy::ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>&,
                                          const KsRef<KsObject>& description) {
  void* const observer = m_object;
  if (!observer || !HasEntryFor(observer)) return;
  // The observer is held weakly: the relay checks, on the main thread, that
  // it still lives and still observes before calling it.
  rt::MainThreadQueue::Post([observer, weakObserver = rt::WeakId(static_cast<rt::Id>(observer)),
                             changed = GetCocoaObject(object.Get()), keyPath = std::string(m_keyPath.View()),
                             change = ChangeFrom(description), context = m_context]() {
    if (!HasEntryFor(observer)) return;
    rt::ObjectRef live = weakObserver.Load();
    if (!live) return;
    rt::SendObservation(live.Get(), keyPath, changed.Get(), change, context);
  });
}
