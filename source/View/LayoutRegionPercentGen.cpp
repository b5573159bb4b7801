#include "Utilities/HcPropertyDirectGet.h"
#include "View/LayoutRegionPercent.h"

HC_DEFINE_CLASS(LayoutRegionPercent, LayoutRegion, "LayoutRegionPercent")
void LayoutRegionPercent::LayoutRegionPercentClass::SetupProperties() {
  using F = LayoutRegionPercent;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, KsRectF>::Create(self, kFrameRectId, KsPropertyType::kRect, "FrameRect", true,
                                                      &F::GetFrameRect, &F::SetFrameRect));
}
