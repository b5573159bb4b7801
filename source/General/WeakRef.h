#pragma once

#include "General/KsBaseObject.h"
#include "General/KsSpinLock.h"
#include "General/RefTempl.h"

// The one weak reference of an object, shared by everybody who holds the
// object weakly and cleared when the object dies.
class WeakRef : public KsBaseObject {
 public:
  using Ref = RefTemplAbstract<KsBaseObject, WeakRef>;

  // The target's weak reference, made on first request; empty for an empty
  // target.
  static void GetWeakRef(Ref& out, KsBaseObject* target);
  static Ref GetWeakRef(KsBaseObject* target) {
    Ref out;
    GetWeakRef(out, target);
    return out;
  }

  // A counted reference to the target, or empty once the target is dying.
  // Safe on a null WeakRef.
  static KsRef<KsBaseObject> GetTarget(const WeakRef* weak);
  KsRef<KsBaseObject> GetTarget() const { return GetTarget(this); }
  template <class T>
  KsRef<T> GetTargetAs() const {
    return GetTarget(this).template DynamicCast<T>();
  }
  // The target's address without a count (comparison only), null once cleared.
  const KsBaseObject* PeekTarget() const;

  // Drops the registry entry of a dying object and empties its weak reference.
  static void ClearReferencesTo(KsBaseObject* object);

  // Objects that currently have a weak reference (tests).
  static size_t RegistrySize();

  ~WeakRef() override;

 private:
  WeakRef() = default;
  void SetTarget(KsBaseObject* target);

  mutable KsSpinLock m_lock;
  KsBaseObject* m_target = nullptr;
};
