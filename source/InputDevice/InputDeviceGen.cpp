#include "General/CocoaMethod.h"
#include "InputDevice/InputDevice.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(InputDevice, KsObject, "InputDevice")
void InputDevice::InputDeviceClass::SetupProperties() {
  using F = InputDevice;
  AddObjCInstanceMethods({
      CocoaMethod<&F::Update>("update", "i@:"),
      CocoaMethod<&F::Reset>("reset", "i@:"),
  });
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, KsObject>::Create(self, kContextId, "Context", true, &F::GetContext,
                                                             &F::SetContext));
}
