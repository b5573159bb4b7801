#include "Utilities/HcPathResolver.h"

#include "KsTrace.h"
#include "Utilities/ObjectPath.h"

bool HcPathResolver::LooksLikeMyPath(const PWStringRef& testPath) const { return HasObjectPathScheme(testPath); }

KsRef<KsObject> HcPathResolver::GetObjectForPath(const PWStringRef& path) {
  if (!LooksLikeMyPath(path)) return {};
  if (IsRootObjectPath(path)) return m_rootObject;
  KsRef<KsObject> found;
  const eAppErr err = ResolveObjectPathInternal(PWStringRef(path.View().substr(5)), m_rootObject, &found);
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kWarning, "Path %@ failed to resolve (%i)", path, err);
    return {};
  }
  return found;
}

eAppErr HcPathResolver::SetRootObject(const KsRef<KsObject>& root) {
  DidChangeCaller change(this, 300);
  m_rootObject = root;
  return AppErr::kNoErr;
}
