#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/LayoutRegionCollection.h"
#include "View/LayoutView.h"

HC_DEFINE_CLASS(LayoutView, HcView, "LayoutView")
void LayoutView::LayoutViewClass::SetupProperties() {
  using F = LayoutView;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, LayoutRegionCollection>::Create(self, kRegionsId, "Regions", true,
                                                                           &F::GetRegions, &F::SetRegions));
}
