#include "InterfaceCommon/Viewset.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/HcView.h"

HC_DEFINE_CLASS(Viewset, KsObject, "Viewset")
void Viewset::ViewsetClass::SetupProperties() {
  using F = Viewset;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcView>::Create(self, kViewId, "View", false, &F::GetView, &F::SetView));
}
