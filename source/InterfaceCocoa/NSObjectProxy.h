#pragma once

#include <cstddef>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/RefTempl.h"
#include "PWString.h"

// Stands for a plain run-time object (one that is no model object) that
// observes a property of a model object: the bridge adds one per
// registration as the model object's observer, and each change notice it
// receives is relayed to the plain object as a key-value-observing call on
// the main-thread queue. A process-wide proxy map from plain object to its
// proxies lets the bridge drop them when the object stops observing or is
// destroyed; the map is guarded, and a relay delivers only when, on the main
// thread, the observer is still alive and still in the map.
class NSObjectProxy : public KsObject {
  HC_CLASS_HEADER(NSObjectProxy)
 public:
  enum : int32_t { kObjectId = 200, kContextId = 201, kKeyPathId = 202 };

  NSObjectProxy();
  ~NSObjectProxy() override;

  KsRef<NSObjectProxy> ThisRef() { return KsRef<NSObjectProxy>(this); }

  void* GetObject() const { return m_object; }
  void* GetContext() const { return m_context; }
  PWStringRef GetKeyPath() const { return m_keyPath; }
  // Re-keys this proxy in the proxy map (a null object is keyed too).
  eAppErr SetObject(void* object);
  eAppErr SetContext(void* context);
  eAppErr SetKeyPath(const PWStringRef& keyPath);

  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;

  // Erases the map's entry that holds this proxy, if any.
  static void RemoveFromProxyMap(const KsRef<NSObjectProxy>& proxy);
  // Erases every entry of the plain object; answers how many.
  static size_t RemoveAllProxiesForNSObject(void* object);
  // Entries of the plain object now in the map.
  static size_t CountProxiesForNSObject(void* object);

 private:
  void* m_object = nullptr;
  void* m_context = nullptr;
  PWStringRef m_keyPath;
};
HC_CLASS_OBJECT(NSObjectProxy, KsObject)
