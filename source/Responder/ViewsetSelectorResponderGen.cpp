#include "General/KsStringCollection.h"
#include "Responder/ViewsetSelectorResponder.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(ViewsetSelectorResponder, RadioButtonArray, "ViewsetSelectorResponder")
void ViewsetSelectorResponder::ViewsetSelectorResponderClass::SetupProperties() {
  using F = ViewsetSelectorResponder;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, KsObject>::Create(self, kContextId, "Context", false, &F::GetContext,
                                                             &F::SetContext));
  AddProperty(HcPropertyObjectDirectGet<F, KsStringCollection>::Create(self, kViewsetNamesId, "ViewsetNames", true,
                                                                       &F::GetViewsetNames, &F::SetViewsetNames));
  AddProperty(HcPropertyDirectGet<F, PWStringRef>::Create(self, kPseudoRootId, KsPropertyType::kString,
                                                          "PseudoRoot", true, &F::GetPseudoRoot,
                                                          &F::SetPseudoRoot));
}
