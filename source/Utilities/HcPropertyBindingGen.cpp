#include "Utilities/HcPropertyBinding.h"

HC_DEFINE_CLASS(HcPropertyBinding, HcPropertyBindingBase, "HcPropertyBinding")
void HcPropertyBinding::HcPropertyBindingClass::SetupProperties() {}
