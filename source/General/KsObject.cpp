#include "General/KsObject.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "General/CocoaBridge.h"
#include "General/HcClassMap.h"
#include "General/KsClassObject.h"
#include "General/WeakRef.h"
#include "KsTrace.h"
#include "Utilities/HcProperty.h"
#include "Utilities/KsObjectEmitter.h"
#include "Utilities/ObjectPath.h"
#include "Utilities/ObjectWriter.h"

// Who observes which property of one object, and how deeply each property's
// changes are nested. Guarded: observers may register from other threads.
class PropertyBindingStorage {
 public:
  std::mutex lock;
  std::multimap<int32_t, WeakRef::Ref> observers;
  std::map<int32_t, int32_t> nesting;
  std::map<int32_t, uint32_t> options;
};

namespace {

// The change scopes open on this thread on objects without observers, the
// innermost first.
thread_local DidChangeCaller* t_uncountedScopes = nullptr;

}  // namespace

void DidChangeCaller::OpenUncounted() {
  m_next = t_uncountedScopes;
  t_uncountedScopes = this;
  m_listed = true;
}

void DidChangeCaller::CloseUncounted() {
  // Scopes close innermost first, so this one is nearly always the head.
  for (DidChangeCaller** link = &t_uncountedScopes; *link; link = &(*link)->m_next) {
    if (*link == this) {
      *link = m_next;
      break;
    }
  }
  m_listed = false;
}

DidChangeCaller* DidChangeCaller::OpenUncountedScopes() { return t_uncountedScopes; }

KsObject::KsObject() = default;

KsObject::~KsObject() {
  DetachObserverProxies(this);
  delete m_observers.load(std::memory_order_acquire);
}

std::vector<KsRef<KsObject>> KsObject::GetLiveObservers() const {
  std::vector<KsRef<KsObject>> live;
  PropertyBindingStorage* storage = m_observers.load(std::memory_order_acquire);
  if (!storage) return live;
  std::vector<WeakRef::Ref> weakObservers;
  {
    std::lock_guard guard(storage->lock);
    for (const auto& entry : storage->observers) weakObservers.push_back(entry.second);
  }
  for (const WeakRef::Ref& weak : weakObservers) {
    KsRef<KsObject> observer = weak->GetTargetAs<KsObject>();
    if (observer && std::find(live.begin(), live.end(), observer) == live.end()) live.push_back(observer);
  }
  return live;
}

PropertyBindingStorage* KsObject::ObtainStorage() {
  PropertyBindingStorage* storage = m_observers.load(std::memory_order_acquire);
  if (!storage) {
    auto* fresh = new PropertyBindingStorage();
    if (m_observers.compare_exchange_strong(storage, fresh, std::memory_order_acq_rel)) {
      storage = fresh;
    } else {
      delete fresh;
    }
  }
  // Scopes this thread opened while there was no storage count as open.
  std::lock_guard guard(storage->lock);
  DidChangeCaller::AdoptOpenScopes(this, [storage](int32_t propertyId) { ++storage->nesting[propertyId]; });
  return storage;
}

eAppErr KsObject::SetName(const PWStringRef& name) {
  m_name = name;
  return AppErr::kNoErr;
}

PWStringRef KsObject::GetName() const { return m_name; }

eAppErr KsObject::GetUUID(KsUUID* uuid) const {
  if (!uuid) return KS_TRACE_ERR(AppErr::kBadArgument, "GetUUID");
  *uuid = m_uuid;
  return AppErr::kNoErr;
}

eAppErr KsObject::SetUUID(const KsUUID& uuid) {
  m_uuid = uuid;
  return AppErr::kNoErr;
}

eAppErr KsObject::AssignUUID() {
  if (!m_uuid.IsNull()) return KS_TRACE_ERR(AppErr::kAlreadyAssigned, "AssignUUID");
  m_uuid = KsUUID::Generate();
  return AppErr::kNoErr;
}

eAppErr KsObject::GetUUIDString(PWStringRef* text) const {
  if (!text) return KS_TRACE_ERR(AppErr::kBadArgument, "GetUUIDString");
  *text = PWStringRef();
  if (m_uuid.IsNull()) return AppErr::kNoValue;
  std::string form = m_uuid.ToString();
  if (form.size() != KsUUID::kTextLength) {
    KS_TRACE(KsTrace::kError, "UUIDCopyString returned unexpected format!");
    return KS_TRACE_ERR(AppErr::kBadArgument, "GetUUIDString");
  }
  *text = PWStringRef(std::move(form));
  return AppErr::kNoErr;
}

eAppErr KsObject::SetUUIDString(const PWStringRef& text) {
  if (text.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "SetUUIDString");
  DidChangeCaller change(this, 101);
  KsUUID parsed = KsUUID::Parse(text.View());
  if (parsed.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "SetUUIDString");
  m_uuid = parsed;
  return AppErr::kNoErr;
}

bool KsObject::HasObservers() const { return m_observers.load(std::memory_order_acquire) != nullptr; }

void KsObject::AddObserver(const KsRef<KsObject>& observer, const PWStringRef& propertyName, uint32_t options) {
  AddPropertyObserver(observer, GetClassObject()->FindProperty(propertyName), options);
}

void KsObject::AddObserverForId(const KsRef<KsObject>& observer, int32_t propertyId, uint32_t options) {
  AddPropertyObserver(observer, GetClassObject()->FindPropertyById(propertyId), options);
}

void KsObject::AddPropertyObserver(const KsRef<KsObject>& observer, const KsRef<HcProperty>& property,
                                   uint32_t options) {
  if (!observer || !property) return;
  // Registering again replaces the earlier registration.
  RemovePropertyObserver(observer, property);
  PropertyBindingStorage* storage = ObtainStorage();
  const int32_t id = property->GetPropertyID();
  std::lock_guard guard(storage->lock);
  storage->observers.emplace(id, WeakRef::GetWeakRef(observer.Get()));
  storage->nesting.emplace(id, 0);
  if (options != 0) storage->options[id] |= options;
}

void KsObject::RemoveObserver(const KsRef<KsObject>& observer, const PWStringRef& propertyName) {
  KsRef<HcProperty> property;
  if (!propertyName.IsNull()) property = GetClassObject()->FindProperty(propertyName);
  RemovePropertyObserver(observer, property);
}

void KsObject::RemoveObserverForId(const KsRef<KsObject>& observer, int32_t propertyId) {
  KsRef<HcProperty> property;
  if (propertyId != 0) property = GetClassObject()->FindPropertyById(propertyId);
  RemovePropertyObserver(observer, property);
}

void KsObject::RemovePropertyObserver(const KsRef<KsObject>& observer, const KsRef<HcProperty>& property) {
  PropertyBindingStorage* storage = m_observers.load(std::memory_order_acquire);
  if (!observer || !storage) return;
  std::lock_guard guard(storage->lock);
  auto& observers = storage->observers;
  auto [first, last] = property ? observers.equal_range(property->GetPropertyID())
                                : std::make_pair(observers.begin(), observers.end());
  for (auto it = first; it != last;) {
    if (it->second->PeekTarget() == observer.Get()) {
      it = observers.erase(it);
    } else {
      ++it;
    }
  }
}

void KsObject::ObservePropertyChange(const KsRef<KsObject>&, const KsRef<HcProperty>&, const KsRef<KsObject>&) {}

namespace {

// Made through the class map so that the object model does not depend on the
// collection classes the description holds.
KsRef<KsObject> NewChangeDescription() {
  static KsRef<KsClassObject> descriptionClass = HcClassMap::FindClassObject("KsPropertyChangeDescription");
  KsRef<KsObject> description;
  if (descriptionClass) descriptionClass->CreateObject(description);
  return description;
}

}  // namespace

void KsObject::WillChangeProperty(int32_t propertyId, KsRef<KsObject>& description) {
  PropertyBindingStorage* storage = m_observers.load(std::memory_order_acquire);
  if (!storage) return;
  bool observed;
  {
    std::lock_guard guard(storage->lock);
    observed = storage->observers.count(propertyId) != 0;
    ++storage->nesting[propertyId];
  }
  if (observed && GetClassObject()->IsCollection()) description = NewChangeDescription();
}

void KsObject::DidChangeProperty(int32_t propertyId, KsRef<KsObject>& description) {
  PropertyBindingStorage* storage = m_observers.load(std::memory_order_acquire);
  if (!storage) return;
  std::vector<WeakRef::Ref> snapshot;
  {
    std::lock_guard guard(storage->lock);
    // An enclosing change of the same property is still open.
    if (--storage->nesting[propertyId] > 0) return;
    storage->nesting[propertyId] = 0;
    auto [first, last] = storage->observers.equal_range(propertyId);
    for (auto it = first; it != last; ++it) snapshot.push_back(it->second);
  }
  if (snapshot.empty()) return;
  // Observers are told from a snapshot, so they may add or remove observers
  // of this object while being told.
  KsRef<HcProperty> property = GetClassObject()->FindPropertyById(propertyId);
  KsRef<KsObject> self(this);
  bool sawDeadObserver = false;
  for (const WeakRef::Ref& weak : snapshot) {
    KsRef<KsObject> observer = weak->GetTargetAs<KsObject>();
    if (!observer) {
      sawDeadObserver = true;
      continue;
    }
    observer->ObservePropertyChange(self, property, description);
  }
  if (sawDeadObserver) {
    std::lock_guard guard(storage->lock);
    std::erase_if(storage->observers, [](const auto& entry) { return entry.second->PeekTarget() == nullptr; });
  }
}

namespace {

// Writes the object into a KsObjectEmitter; a shallow copy refers to the
// objects the original holds instead of rebuilding them.
KsRef<KsObject> CopyThroughWriter(KsObject* object, bool shallow) {
  auto writer = KsMakeRef<ObjectWriter>();
  auto emitter = KsMakeRef<KsObjectEmitter>();
  writer->SetEmitter(emitter);
  writer->SetContextObject(object->ThisRef());
  if (AppErrFailed(writer->SetTargetPath(kObjectPathScheme))) return {};
  if (shallow) {
    writer->SetShallowWrite(true);
    emitter->SetExternalPathResolver(writer->GetOutputPathResolver());
  }
  // A graph the writer refuses (nested too deeply) has no copy, rather than a
  // copy cut short.
  if (AppErrFailed(writer->WriteObject())) return {};
  return emitter->GetEmittedObject();
}

}  // namespace

void KsObject::Copy(KsRef<KsObject>& copy) { copy = CopyThroughWriter(this, true); }

void KsObject::DeepCopy(KsRef<KsObject>& copy) { copy = CopyThroughWriter(this, false); }
