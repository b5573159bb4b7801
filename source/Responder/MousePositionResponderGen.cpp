#include "Responder/MousePositionResponder.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/PanoView.h"

HC_DEFINE_CLASS(MousePositionResponder, MouseResponder, "MousePositionResponder")
void MousePositionResponder::MousePositionResponderClass::SetupProperties() {
  using F = MousePositionResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, PanoView>::Create(self, kTargetViewId, "TargetView", true,
                                                             &F::GetTargetView, &F::SetTargetView));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kTransitionOnMouseUpId, KsPropertyType::kBool,
                                                   "TransitionOnMouseUp", true, &F::GetTransitionOnMouseUp,
                                                   &F::SetTransitionOnMouseUp));
}
