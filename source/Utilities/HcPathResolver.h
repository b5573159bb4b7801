#pragma once

#include "Utilities/PathResolver.h"

// Resolves object paths ("hc://…", scheme in any letter case) against its
// root object.
class HcPathResolver : public PathResolver {
  HC_CLASS_HEADER(HcPathResolver)
 public:
  bool LooksLikeMyPath(const PWStringRef& testPath) const override;
  KsRef<KsObject> GetObjectForPath(const PWStringRef& path) override;

  KsRef<KsObject> GetRootObject() const { return m_rootObject; }
  eAppErr SetRootObject(const KsRef<KsObject>& root);

 private:
  KsRef<KsObject> m_rootObject;
};
HC_CLASS_OBJECT(HcPathResolver, PathResolver)
