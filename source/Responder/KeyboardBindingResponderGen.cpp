#include "Responder/KeyboardBindingResponder.h"
#include "Responder/KeyboardResponderCollection.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(KeyboardBindingResponder, KeyboardResponder, "KeyboardBindingResponder")
void KeyboardBindingResponder::KeyboardBindingResponderClass::SetupProperties() {
  using F = KeyboardBindingResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, KeyboardResponderCollection>::Create(
      self, kBindingsId, "Bindings", true, &F::GetBindings, &F::SetBindings));
}
