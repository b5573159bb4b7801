#include "Utilities/LocalPathResolver.h"

#include "General/CocoaMethod.h"

HC_DEFINE_CLASS(LocalPathResolver, PathResolver, "LocalPathResolver")
void LocalPathResolver::LocalPathResolverClass::SetupProperties() {
  AddObjCInstanceMethods({
      CocoaMethod<&LocalPathResolver::AddObject>("addObjectpath:object:", "i@:@@"),
      CocoaMethod<&LocalPathResolver::RemovePath>("removePathpath:", "i@:@"),
  });
}
