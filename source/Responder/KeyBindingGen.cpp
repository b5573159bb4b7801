#include "Responder/KeyBinding.h"
#include "Time/HcTween.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(KeyBinding, KeyboardResponder, "KeyBinding")
void KeyBinding::KeyBindingClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = KeyBinding;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kKeyId, kInt, "Key", true, &F::GetKey, &F::SetKey));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kModifierMaskId, kInt, "ModifierMask", true,
                                                      &F::GetModifierMask, &F::SetModifierMask));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kBehaviorId, kInt, "Behavior", true, &F::GetBehavior,
                                                      &F::SetBehavior));
  AddProperty(HcPropertyObjectDirectGet<F, HcTween>::Create(self, kActionId, "Action", true, &F::GetAction,
                                                            &F::SetAction));
}
