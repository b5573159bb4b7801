#include "Utilities/PathResolver.h"

#include "General/CocoaMethod.h"

HC_DEFINE_ABSTRACT_CLASS(PathResolver, KsObject, "PathResolver")
void PathResolver::PathResolverClass::SetupProperties() {
  AddObjCInstanceMethods({
      CocoaMethod<&PathResolver::LooksLikeMyPath>("looksLikeMyPathtestPath:", "B@:@"),
      CocoaMethod<&PathResolver::GetObjectForPath>("getObjectForPathpath:", "@@:@"),
  });
}
