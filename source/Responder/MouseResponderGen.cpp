#include "Responder/MouseResponder.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/HcView.h"

HC_DEFINE_ABSTRACT_CLASS(MouseResponder, KsObject, "MouseResponder")
void MouseResponder::MouseResponderClass::SetupProperties() {
  using F = MouseResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcView>::Create(self, kViewId, "View", false, &F::GetView, &F::SetView));
}
