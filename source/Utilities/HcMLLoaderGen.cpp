#include "Utilities/HcMLLoader.h"

#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcMLLoader, KsObject, "HcMLLoader")
void HcMLLoader::HcMLLoaderClass::SetupProperties() {
  using L = HcMLLoader;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({CocoaMethod<&L::LoadHcML>("loadHcML", "i@:")});
  AddProperty(HcPropertyDirectGet<L, PWStringRef>::Create(self, kHcMLToLoadId, KsPropertyType::kString, "HcMLToLoad",
                                                          true, &L::GetHcMLToLoad, &L::SetHcMLToLoad));
  AddProperty(HcPropertyAppErr<L, PWStringRef>::Create(self, kHcMLToLoadPathId, KsPropertyType::kString,
                                                       "HcMLToLoadPath", false, nullptr, &L::SetHcMLToLoadPath));
  AddProperty(HcPropertyObjectDirectGet<L, Parser>::Create(self, kParserId, "Parser", true, &L::GetParser,
                                                          &L::SetParser));
  AddProperty(HcPropertyObjectDirectGet<L, KsObject>::Create(self, kRootObjectId, "RootObject", false,
                                                            &L::GetRootObject, &L::SetRootObject));
  AddProperty(HcPropertyObjectDirectGet<L, KsObject>::Create(self, kPathRootId, "PathRoot", false, &L::GetPathRoot,
                                                            &L::SetPathRoot));
}
