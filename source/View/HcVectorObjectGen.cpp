#include "View/HcVectorObject.h"

HC_DEFINE_ABSTRACT_CLASS(HcVectorObject, KsObject, "HcVectorObject")
void HcVectorObject::HcVectorObjectClass::SetupProperties() {}
