#include "Utilities/PathResolver.h"

HC_DEFINE_ABSTRACT_CLASS(PathResolver, KsObject, "PathResolver")
void PathResolver::PathResolverClass::SetupProperties() {}
