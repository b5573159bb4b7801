#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/PanoView.h"
#include "View/ViewOutliner.h"

HC_DEFINE_CLASS(ViewOutliner, HcPolygons, "ViewOutliner")
void ViewOutliner::ViewOutlinerClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = ViewOutliner;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, PanoView>::Create(self, kOutlinedViewId, "OutlinedView", true,
                                                             &F::GetOutlinedView, &F::SetOutlinedView));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kPointsPerSideId, kUInt, "PointsPerSide", true,
                                                       &F::GetPointsPerSide, &F::SetPointsPerSide));
}
