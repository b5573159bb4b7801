#include "Utilities/LocalPathResolver.h"

HC_DEFINE_CLASS(LocalPathResolver, PathResolver, "LocalPathResolver")
void LocalPathResolver::LocalPathResolverClass::SetupProperties() {}
