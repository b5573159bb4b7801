#include "Utilities/ObjectReference.h"

#include "KsTrace.h"
#include "Utilities/ObjectPath.h"

eAppErr ObjectReference::SetTargetName(const PWStringRef& path) {
  if (!m_targetName.IsNull() || GetTarget()) return KS_TRACE_ERR(AppErr::kNotReady, "SetTargetName");
  m_targetName = path;
  if (!m_rootObject) return AppErr::kNoErr;
  KsRef<KsObject> found;
  const eAppErr err = ResolveObjectPath(path, m_rootObject, &found);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetTargetName");
  if (!found) return KS_TRACE_ERR(AppErr::kNotFound, "SetTargetName");
  StoreTarget(found);
  return AppErr::kNoErr;
}

eAppErr ObjectReference::SetRootObject(const KsRef<KsObject>& root) {
  m_rootObject = root;
  // A target, once found, stays: the name that found it is kept with it.
  if (m_targetName.IsNull() || GetTarget()) return AppErr::kNoErr;
  const PWStringRef path = std::move(m_targetName);
  m_targetName = PWStringRef();
  const eAppErr err = SetTargetName(path);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "SetRootObject");
  return AppErr::kNoErr;
}
