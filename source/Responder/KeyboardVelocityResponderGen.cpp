#include "Responder/KeyboardVelocityResponder.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(KeyboardVelocityResponder, KeyboardResponder, "KeyboardQTVRStyleResponder")
void KeyboardVelocityResponder::KeyboardVelocityResponderClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = KeyboardVelocityResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kSpeedXId, kFloat, "SpeedX", true, &F::GetSpeedX,
                                                    &F::SetSpeedX));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kSpeedYId, kFloat, "SpeedY", true, &F::GetSpeedY,
                                                    &F::SetSpeedY));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kSpeedZId, kFloat, "SpeedZ", true, &F::GetSpeedZ,
                                                    &F::SetSpeedZ));
}
