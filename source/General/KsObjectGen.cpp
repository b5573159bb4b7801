#include <atomic>

#include "General/HcClassMap.h"
#include "General/KsObject.h"
#include "General/KsStringCollection.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDescCollection.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

KsRef<KsClassObject> KsObject::ClassGetClassObject() {
  static std::atomic<KsClassObject*> slot{nullptr};
  return HcClassMap::ObtainClassObject(slot, []() -> KsClassObject* { return new KsObject::KsObjectClass(); });
}

KsRef<KsClassObject> KsObject::GetClassObject() const { return KsObject::ClassGetClassObject(); }

PWStringRef KsObject::KsObjectClass::GetName() const {
  static const PWStringRef name("KsObject");
  return name;
}

void KsObject::KsObjectClass::SetupProperties() {
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<KsObject, PWStringRef>::Create(self, 100, KsPropertyType::kString, "Name", true,
                                                                 &KsObject::GetName, &KsObject::SetName));
  AddProperty(HcPropertyAppErr<KsObject, PWStringRef>::Create(self, 101, KsPropertyType::kString, "UUIDString", true,
                                                              &KsObject::GetUUIDString, &KsObject::SetUUIDString));
  AddProperty(HcPropertyObjectDirectGet<KsObject, KsStringCollection>::Create(self, 102, "PropertyNames", false,
                                                                           &KsObject::GetPropertyNames, nullptr));
  AddProperty(HcPropertyObjectDirectGet<KsObject, HcPropertyDescCollection>::Create(
      self, 103, "Properties", false, &KsObject::GetProperties, nullptr));
}

KsRef<KsStringCollection> KsObject::GetPropertyNames() const {
  auto names = KsMakeRef<KsStringCollection>();
  HcPropertyList properties;
  GetClassObject()->GetPropertyList(properties, true);
  for (const KsRef<HcProperty>& property : properties) {
    if (!property->GetIsCollectionProperty()) names->Add(property->CopyName());
  }
  return names;
}

KsRef<HcPropertyDescCollection> KsObject::GetProperties() const {
  return HcPropertyDescCollection::MakeForClass(GetClassObject());
}
