#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"

// Turns an href or a path met in a document into an object. Parsers, emitters
// and the writer accept any resolver: an HcPathResolver resolves "hc://"
// paths against a root object, a LocalPathResolver looks ids up in a table.
class PathResolver : public KsObject {
  HC_CLASS_HEADER(PathResolver)
 public:
  // Whether the text has the form this resolver understands.
  virtual bool LooksLikeMyPath(const PWStringRef& testPath) const = 0;
  // The object the path names, or none.
  virtual KsRef<KsObject> GetObjectForPath(const PWStringRef& path) = 0;
};
HC_CLASS_OBJECT(PathResolver, KsObject)
