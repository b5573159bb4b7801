#include "Responder/MouseResponder.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/HcView.h"

HC_DEFINE_ABSTRACT_CLASS(MouseResponder, KsObject, "MouseResponder")
void MouseResponder::MouseResponderClass::SetupProperties() {
  using F = MouseResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcView>::Create(self, kViewId, "View", false, &F::GetView, &F::SetView));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kLastPanAngleId, KsPropertyType::kFloat, "LastPanAngle",
                                                    false, &F::GetLastPanAngleValue, nullptr));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kLastTiltAngleId, KsPropertyType::kFloat, "LastTiltAngle",
                                                    false, &F::GetLastTiltAngleValue, nullptr));
}
