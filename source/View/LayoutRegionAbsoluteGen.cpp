#include "Utilities/HcPropertyDirectGet.h"
#include "View/LayoutRegionAbsolute.h"

HC_DEFINE_CLASS(LayoutRegionAbsolute, LayoutRegion, "LayoutRegionAbsolute")
void LayoutRegionAbsolute::LayoutRegionAbsoluteClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = LayoutRegionAbsolute;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, KsRectF>::Create(self, kFrameRectId, kRect, "FrameRect", true, &F::GetFrameRect,
                                                      &F::SetFrameRect));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kHOffsetFromCenterId, kBool, "HOffsetFromCenter", true,
                                                   &F::GetHOffsetFromCenter, &F::SetHOffsetFromCenter));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kVOffsetFromCenterId, kBool, "VOffsetFromCenter", true,
                                                   &F::GetVOffsetFromCenter, &F::SetVOffsetFromCenter));
}
