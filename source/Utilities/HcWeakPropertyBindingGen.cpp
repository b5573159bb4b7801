#include "Utilities/HcWeakPropertyBinding.h"

HC_DEFINE_CLASS(HcWeakPropertyBinding, HcPropertyBindingBase, "HcWeakPropertyBinding")
void HcWeakPropertyBinding::HcWeakPropertyBindingClass::SetupProperties() {}
