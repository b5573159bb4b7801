#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// An object in a document that stands for another object, its target; when
// the document has been read, the target is stored in its place.
class ReferenceBase : public KsObject {
  HC_CLASS_HEADER(ReferenceBase)
 public:
  KsRef<KsObject> GetTarget() const { return m_target; }
  // The target is only set by a subclass: always -102.
  eAppErr SetTarget(const KsRef<KsObject>& target);

 protected:
  void StoreTarget(const KsRef<KsObject>& target) { m_target = target; }

 private:
  KsRef<KsObject> m_target;
};
HC_CLASS_OBJECT(ReferenceBase, KsObject)
