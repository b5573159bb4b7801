#include "Utilities/Chameleon.h"

#include "Utilities/HcPropertyObjectDirectGet.h"

eAppErr Chameleon::SetPropValue(const KsRef<KsObject>& value) {
  DidChangeCaller change(this, 200);
  m_propValue = value;
  return AppErr::kNoErr;
}

void Chameleon::ChameleonClass::GetPropertyForPropertyName(KsRef<HcProperty>& property, const PWStringRef& name) {
  // KsObject's own names keep their meaning; this class's table is left to
  // lookups by id and to traversal.
  KsObject::ClassGetClassObject()->GetPropertyForPropertyName(property, name);
  if (property || name.IsNull() || name.IsEmpty()) return;
  // Any other name reads and writes PropValue; a new descriptor each time.
  property = HcPropertyObjectDirectGet<Chameleon, KsObject>::Create(ThisRef(), 0, name.CStr(), false,
                                                                    &Chameleon::GetPropValue,
                                                                    &Chameleon::SetPropValue);
}
