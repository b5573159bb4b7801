#include "InterfaceCommon/Viewset.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/HcView.h"

HC_DEFINE_CLASS(Viewset, KsObject, "Viewset")
void Viewset::ViewsetClass::SetupProperties() {
  using F = Viewset;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, PWStringRef>::Create(self, kMainViewPathId, KsPropertyType::kString,
                                                          "MainViewPath", true, &F::GetMainViewPath,
                                                          &F::SetMainViewPath));
  AddProperty(HcPropertyDirectGet<F, PWStringRef>::Create(self, kViewHcMLId, KsPropertyType::kString, "ViewHcML",
                                                          true, &F::GetViewHcML, &F::SetViewHcML));
  AddProperty(HcPropertyObjectDirectGet<F, HcView>::Create(self, kViewId, "View", false, &F::GetView, &F::SetView));
}
