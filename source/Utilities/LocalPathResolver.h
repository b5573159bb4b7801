#pragma once

#include <map>

#include "Utilities/PathResolver.h"

// A table of objects by name (matched without regard to case): the ids of one
// document. A path "#name" or "name" finds the object entered as "name".
class LocalPathResolver : public PathResolver {
  HC_CLASS_HEADER(LocalPathResolver)
 public:
  // True for text starting with "#".
  bool LooksLikeMyPath(const PWStringRef& testPath) const override;
  KsRef<KsObject> GetObjectForPath(const PWStringRef& path) override;

  // Enters the object under the name as given; a name already present keeps
  // its first object. Always 0 (-2 for a null name).
  eAppErr AddObject(const PWStringRef& path, const KsRef<KsObject>& object);
  // -607 when no entry has that name.
  eAppErr RemovePath(const PWStringRef& path);
  size_t GetCount() const { return m_objects.size(); }

 private:
  std::map<PWStringRef, KsRef<KsObject>, PWStringLessNoCase> m_objects;
};
HC_CLASS_OBJECT(LocalPathResolver, PathResolver)
