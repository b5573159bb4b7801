#pragma once

#include "Utilities/ReferenceBase.h"

// A reference that names its target by object path. The target is resolved
// once both the path (TargetName) and the RootObject are known, whichever
// comes last; each of TargetName and the target is set at most once.
class ObjectReference : public ReferenceBase {
  HC_CLASS_HEADER(ObjectReference)
 public:
  PWStringRef GetTargetName() const { return m_targetName; }
  // -903 when a name or a target is already there; -607 when the path names
  // nothing; other failures of the resolution are passed on.
  eAppErr SetTargetName(const PWStringRef& path);
  KsRef<KsObject> GetRootObject() const { return m_rootObject; }
  eAppErr SetRootObject(const KsRef<KsObject>& root);

 private:
  PWStringRef m_targetName;
  KsRef<KsObject> m_rootObject;
};
HC_CLASS_OBJECT(ObjectReference, ReferenceBase)
