#include "Utilities/HcPropertyDirectGet.h"
#include "View/FlatSourceView.h"

HC_DEFINE_CLASS(FlatSourceView, PanoView, "FlatSourceView")
void FlatSourceView::FlatSourceViewClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = FlatSourceView;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kDrawTileBoundariesId, kBool, "DrawTileBoundaries", true,
                                                   &F::GetDrawTileBoundaries, &F::SetDrawTileBoundaries));
  AddProperty(
      HcPropertyDirectGet<F, float>::Create(self, kZDepthId, kFloat, "ZDepth", true, &F::GetZDepth, &F::SetZDepth));
}
