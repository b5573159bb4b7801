#include "Utilities/Chameleon.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(Chameleon, KsObject, "Chameleon")
void Chameleon::ChameleonClass::SetupProperties() {
  AddProperty(HcPropertyObjectDirectGet<Chameleon, KsObject>::Create(ThisRef(), 200, "PropValue", false,
                                                                     &Chameleon::GetPropValue,
                                                                     &Chameleon::SetPropValue));
}
