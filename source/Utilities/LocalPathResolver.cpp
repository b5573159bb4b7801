#include "Utilities/LocalPathResolver.h"

#include "KsTrace.h"

bool LocalPathResolver::LooksLikeMyPath(const PWStringRef& testPath) const {
  return !testPath.IsEmpty() && testPath.View().front() == '#';
}

KsRef<KsObject> LocalPathResolver::GetObjectForPath(const PWStringRef& path) {
  if (path.IsNull()) return {};
  std::string_view key = path.View();
  if (LooksLikeMyPath(path)) key.remove_prefix(1);
  auto found = m_objects.find(key);
  return found != m_objects.end() ? found->second : KsRef<KsObject>();
}

eAppErr LocalPathResolver::AddObject(const PWStringRef& path, const KsRef<KsObject>& object) {
  if (path.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "AddObject");
  m_objects.emplace(path, object);
  return AppErr::kNoErr;
}

eAppErr LocalPathResolver::RemovePath(const PWStringRef& path) {
  auto found = m_objects.find(path);
  if (found == m_objects.end()) return KS_TRACE_ERR(AppErr::kNotFound, "RemovePath");
  m_objects.erase(found);
  return AppErr::kNoErr;
}
