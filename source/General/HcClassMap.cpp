#include "General/HcClassMap.h"

#include <map>
#include <mutex>

#include "General/CocoaProxyClass.h"
#include "RegisterAllClasses.h"

namespace {

using ClassMap = std::map<PWStringRef, KsRef<KsClassObject>, PWStringLessNoCase>;

// One lock for the map and for making class objects; re-entrant because
// creating the map registers every class from inside the first registration.
std::recursive_mutex& RegistryLock() {
  static std::recursive_mutex lock;
  return lock;
}

ClassMap* g_map = nullptr;
ClassMap* g_aliases = nullptr;

ClassMap& GetMap() {
  std::lock_guard guard(RegistryLock());
  if (!g_map) {
    // Stored before the registration runs, so the registrations made from
    // inside it find the map and don't start it again.
    g_map = new ClassMap();
    RegisterAllClasses();
  }
  return *g_map;
}

}  // namespace

void HcClassMap::RegisterClassObject(const KsRef<KsClassObject>& classObject) {
  if (!classObject) return;
  std::lock_guard guard(RegistryLock());
  ClassMap& map = GetMap();
  for (KsRef<KsClassObject> current = classObject; current; current = current->GetParentClass()) {
    PWStringRef name = current->GetName();
    // An ancestor of a registered class is taken to be registered already.
    if (!map.emplace(name, current).second) break;
  }
  // Every registered class gets its bridge proxy class (ancestors' first).
  auto registered = map.find(classObject->GetName());
  if (registered != map.end() && registered->second == classObject) MakeCocoaProxyClass(classObject);
}

void HcClassMap::RegisterAlias(const PWStringRef& alias, const KsRef<KsClassObject>& classObject) {
  if (alias.IsNull() || !classObject) return;
  std::lock_guard guard(RegistryLock());
  if (!g_aliases) g_aliases = new ClassMap();
  g_aliases->emplace(alias, classObject);
}

KsRef<KsClassObject> HcClassMap::FindClassObject(const PWStringRef& name) {
  std::lock_guard guard(RegistryLock());
  ClassMap& map = GetMap();
  auto found = map.find(name);
  if (found != map.end()) return found->second;
  if (!g_aliases) return {};
  auto alias = g_aliases->find(name);
  return alias == g_aliases->end() ? KsRef<KsClassObject>() : alias->second;
}

std::vector<KsRef<KsClassObject>> HcClassMap::GetAllClassObjects() {
  std::lock_guard guard(RegistryLock());
  std::vector<KsRef<KsClassObject>> all;
  for (const auto& entry : GetMap()) all.push_back(entry.second);
  return all;
}

KsRef<KsClassObject> HcClassMap::ObtainClassObject(std::atomic<KsClassObject*>& slot, KsClassObject* (*make)()) {
  if (KsClassObject* made = slot.load(std::memory_order_acquire)) return KsRef<KsClassObject>(made);
  std::lock_guard guard(RegistryLock());
  if (KsClassObject* made = slot.load(std::memory_order_acquire)) return KsRef<KsClassObject>(made);
  // The slot keeps the creating count for the rest of the run.
  KsClassObject* created = make();
  slot.store(created, std::memory_order_release);
  KsRef<KsClassObject> ref(created);
  RegisterClassObject(ref);
  return ref;
}

void HcClassMapDetail::TraceMakeObjectFailure(const char* message, const PWStringRef& className) {
  KsTrace::Write(KsTrace::kError, "General/HcClassMap", __LINE__, message, className);
}
