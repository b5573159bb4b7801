#include "Responder/MouseIgnoreResponder.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(MouseIgnoreResponder, MouseResponder, "MouseIgnoreResponder")
void MouseIgnoreResponder::MouseIgnoreResponderClass::SetupProperties() {
  using F = MouseIgnoreResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kTransparentId, KsPropertyType::kBool, "Transparent", true,
                                                   &F::GetTransparent, &F::SetTransparent));
}
