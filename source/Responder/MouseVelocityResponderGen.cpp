#include "Responder/MouseVelocityResponder.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(MouseVelocityResponder, MouseResponder, "MouseVelocityResponder")
void MouseVelocityResponder::MouseVelocityResponderClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = MouseVelocityResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kSpeedXId, kFloat, "SpeedX", true, &F::GetSpeedX,
                                                    &F::SetSpeedX));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kSpeedYId, kFloat, "SpeedY", true, &F::GetSpeedY,
                                                    &F::SetSpeedY));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kSpeedScrollId, kFloat, "SpeedScroll", true,
                                                    &F::GetSpeedScroll, &F::SetSpeedScroll));
}
