#include "Utilities/HcPropertyDesc.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(HcPropertyDesc, KsObject, "HcPropertyDesc")
void HcPropertyDesc::HcPropertyDescClass::SetupProperties() {
  using namespace KsPropertyType;
  using Desc = HcPropertyDesc;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<Desc, PWStringRef>::Create(self, 200, kString, "PropertyName", true,
                                                             &Desc::GetPropertyName, nullptr));
  AddProperty(HcPropertyDirectGet<Desc, bool>::Create(self, 201, kBool, "ShouldSerialize", true,
                                                      &Desc::GetShouldSerialize, nullptr));
  AddProperty(HcPropertyDirectGet<Desc, bool>::Create(self, 202, kBool, "IsCollectionProperty", true,
                                                      &Desc::GetIsCollectionProperty, nullptr));
  AddProperty(HcPropertyDirectGet<Desc, bool>::Create(self, 203, kBool, "CanSet", true, &Desc::GetCanSet, nullptr));
  AddProperty(HcPropertyDirectGet<Desc, bool>::Create(self, 204, kBool, "CanGet", true, &Desc::GetCanGet, nullptr));
  AddProperty(HcPropertyDirectGet<Desc, PWStringRef>::Create(self, 205, kString, "PropertyType", true,
                                                             &Desc::GetPropertyType, nullptr));
  AddProperty(HcPropertyDirectGet<Desc, uint32_t>::Create(self, 206, kUInt, "PropertyID", true, &Desc::GetPropertyID,
                                                          nullptr));
  AddProperty(HcPropertyDirectGet<Desc, PWStringRef>::Create(self, 207, kString, "ExposingClass", true,
                                                             &Desc::GetExposingClass, nullptr));
  AddProperty(HcPropertyDirectGet<Desc, PWStringRef>::Create(self, 208, kString, "PropertyTypeClassName", true,
                                                             &Desc::GetPropertyTypeClassName, nullptr));
}
