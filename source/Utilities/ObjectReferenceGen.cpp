#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/ObjectReference.h"

HC_DEFINE_CLASS(ObjectReference, ReferenceBase, "ObjectReference")
void ObjectReference::ObjectReferenceClass::SetupProperties() {
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<ObjectReference, PWStringRef>::Create(
      self, 300, KsPropertyType::kString, "TargetName", true, &ObjectReference::GetTargetName,
      &ObjectReference::SetTargetName));
  AddProperty(HcPropertyObjectDirectGet<ObjectReference, KsObject>::Create(
      self, 301, "RootObject", false, &ObjectReference::GetRootObject, &ObjectReference::SetRootObject));
}
