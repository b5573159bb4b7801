#include "Utilities/HcPathResolver.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcPathResolver, PathResolver, "HcPathResolver")
void HcPathResolver::HcPathResolverClass::SetupProperties() {
  AddProperty(HcPropertyObjectDirectGet<HcPathResolver, KsObject>::Create(
      ThisRef(), 300, "RootObject", true, &HcPathResolver::GetRootObject, &HcPathResolver::SetRootObject));
}
