#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/TextDisplay.h"

HC_DEFINE_CLASS(TextDisplay, HcVectorObject, "TextDisplay")
void TextDisplay::TextDisplayClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = TextDisplay;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(
      self, kPropertyBindingId, "PropertyBinding", true, &F::GetPropertyBinding, &F::SetPropertyBinding));
  AddProperty(HcPropertyDirectGet<F, PWStringRef>::Create(self, kFormatStringId, kString, "FormatString", true,
                                                          &F::GetFormatString, &F::SetFormatString));
  AddProperty(HcPropertyDirectGet<F, KsPointF>::Create(self, kDrawPointPercentId, kPoint, "DrawPointPercent", true,
                                                       &F::GetDrawPointPercent, &F::SetDrawPointPercent));
}
