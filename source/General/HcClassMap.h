#pragma once

#include <atomic>
#include <vector>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "General/RefTempl.h"
#include "KsTrace.h"
#include "PWString.h"

// The process-wide index from external class name (any letter case) to class
// object. Its first use registers every class of the program.
class HcClassMap {
 public:
  // Enters the class object and those of its ancestors not yet present; a
  // name already present keeps its first class object.
  static void RegisterClassObject(const KsRef<KsClassObject>& classObject);
  // A second name the class is found by when no class has it as its own
  // (a name older documents use). Not listed by GetAllClassObjects.
  static void RegisterAlias(const PWStringRef& alias, const KsRef<KsClassObject>& classObject);
  // Empty when no class has that name (or alias).
  static KsRef<KsClassObject> FindClassObject(const PWStringRef& name);
  // Every registered class object, in name order.
  static std::vector<KsRef<KsClassObject>> GetAllClassObjects();

  // The accessor step every class shares: makes the class object once (safe
  // from any thread), stores it, then registers it. Registration may come
  // back into the same accessor on this thread; it then finds the object.
  static KsRef<KsClassObject> ObtainClassObject(std::atomic<KsClassObject*>& slot, KsClassObject* (*make)());
};

namespace HcClassMapDetail {
void TraceMakeObjectFailure(const char* message, const PWStringRef& className);
}

// A new instance of the named class as a T; empty (and traced) for an unknown
// or abstract class name, empty without a trace when the class is not a T.
template <class T>
KsRef<T> MakeObject(const PWStringRef& className) {
  if (className.IsNull()) return {};
  KsRef<KsClassObject> classObject = HcClassMap::FindClassObject(className);
  if (!classObject) {
    HcClassMapDetail::TraceMakeObjectFailure("Unknown type: %@", className);
    return {};
  }
  KsRef<KsObject> object;
  classObject->CreateObject(object);
  if (!object) {
    HcClassMapDetail::TraceMakeObjectFailure("Uncreatable type: %@", className);
    return {};
  }
  return object.template DynamicCast<T>();
}
