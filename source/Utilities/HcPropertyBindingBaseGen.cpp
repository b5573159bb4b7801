#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(HcPropertyBindingBase, KsObject, "HcPropertyBindingBase")
void HcPropertyBindingBase::HcPropertyBindingBaseClass::SetupProperties() {
  using Binding = HcPropertyBindingBase;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<Binding, KsObject>::Create(self, 201, "TargetObject", true,
                                                                   &Binding::GetTargetObject,
                                                                   &Binding::SetTargetObject));
  AddProperty(HcPropertyObjectDirectGet<Binding, KsObject>::Create(self, 202, "BindingObject", false,
                                                                   &Binding::GetBindingObject,
                                                                   &Binding::SetBindingObject));
  AddProperty(HcPropertyDirectGet<Binding, PWStringRef>::Create(self, 200, KsPropertyType::kString, "PropertyName",
                                                                true, &Binding::GetPropertyName,
                                                                &Binding::SetPropertyName));
  AddProperty(HcPropertyObjectDirectGet<Binding, KsObject>::Create(self, 203, "RootObject", false,
                                                                   &Binding::GetRootObject, &Binding::SetRootObject));
}
