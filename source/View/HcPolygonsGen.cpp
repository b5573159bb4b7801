#include "Utilities/HcPropertyDirectGet.h"
#include "View/HcPolygons.h"

HC_DEFINE_ABSTRACT_CLASS(HcPolygons, HcVectorObject, "HcPolygons")
void HcPolygons::HcPolygonsClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcPolygons;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kDrawOutlineId, kBool, "DrawOutline", true,
                                                   &F::GetDrawOutline, &F::SetDrawOutline));
  AddProperty(HcPropertyDirectGet<F, KsColorF>::Create(self, kOutlineColorId, kColor, "OutlineColor", true,
                                                       &F::GetOutlineColor, &F::SetOutlineColor));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kOutlineWidthId, kFloat, "OutlineWidth", true,
                                                    &F::GetOutlineWidth, &F::SetOutlineWidth));
  AddProperty(
      HcPropertyDirectGet<F, bool>::Create(self, kDrawFillId, kBool, "DrawFill", true, &F::GetDrawFill, &F::SetDrawFill));
  AddProperty(HcPropertyDirectGet<F, KsColorF>::Create(self, kFillColorId, kColor, "FillColor", true,
                                                       &F::GetFillColor, &F::SetFillColor));
}
