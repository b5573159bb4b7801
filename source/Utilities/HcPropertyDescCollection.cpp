#include "Utilities/HcPropertyDescCollection.h"

KsRef<HcPropertyDescCollection> HcPropertyDescCollection::MakeForClass(const KsRef<KsClassObject>& classObject) {
  auto descriptions = KsMakeRef<HcPropertyDescCollection>();
  if (!classObject) return descriptions;
  HcPropertyList properties;
  classObject->GetPropertyList(properties, true);
  for (const KsRef<HcProperty>& property : properties) {
    auto description = KsMakeRef<HcPropertyDesc>();
    description->SetProperty(property);
    descriptions->Add(description);
  }
  return descriptions;
}
