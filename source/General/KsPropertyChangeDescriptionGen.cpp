#include "General/IntCollection.h"
#include "General/KsPropertyChangeDescription.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(KsPropertyChangeDescription, KsObject, "KsPropertyChangeDescription")

void KsPropertyChangeDescription::KsPropertyChangeDescriptionClass::SetupProperties() {
  using Description = KsPropertyChangeDescription;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<Description, int32_t>::Create(self, Description::kChangeTypeId,
                                                                KsPropertyType::kInt, "ChangeType", false,
                                                                &Description::GetChangeType,
                                                                &Description::SetChangeType));
  AddProperty(HcPropertyObjectDirectGet<Description, IntCollection>::Create(
      self, Description::kChangeIndicesId, "ChangeIndices", false, &Description::GetChangeIndices,
      &Description::SetChangeIndices));
  AddProperty(HcPropertyObjectDirectGet<Description, KsObject>::Create(
      self, Description::kReplacedObjectValueId, "ReplacedObjectValue", false,
      &Description::GetReplacedObjectValue, &Description::SetReplacedObjectValue));
}
