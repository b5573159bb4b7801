#include "Responder/VectorObjectMouseResponder.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(VectorObjectMouseResponder, MouseResponder, "VectorObjectMouseResponder")
void VectorObjectMouseResponder::VectorObjectMouseResponderClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = VectorObjectMouseResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(
      self, kDefaultActionId, "DefaultAction", true, &F::GetDefaultAction, &F::SetDefaultAction));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kCursorOverId, kInt, "CursorOver", true,
                                                      &F::GetCursorOver, &F::SetCursorOver));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kCursorDownId, kInt, "CursorDown", true,
                                                      &F::GetCursorDown, &F::SetCursorDown));
}
