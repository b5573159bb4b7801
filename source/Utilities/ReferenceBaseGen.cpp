#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/ReferenceBase.h"

HC_DEFINE_ABSTRACT_CLASS(ReferenceBase, KsObject, "ReferenceBase")
void ReferenceBase::ReferenceBaseClass::SetupProperties() {
  AddProperty(HcPropertyObjectDirectGet<ReferenceBase, KsObject>::Create(
      ThisRef(), 200, "Target", false, &ReferenceBase::GetTarget, &ReferenceBase::SetTarget));
}
