#include "General/CocoaMethod.h"
#include "Renderer/PanoRenderer.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/PanTiltGridOverlay.h"
#include "View/PanoView.h"

HC_DEFINE_CLASS(PanTiltGridOverlay, HcView, "PanTiltGridOverlay")
void PanTiltGridOverlay::PanTiltGridOverlayClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = PanTiltGridOverlay;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({CocoaMethod<&F::Draw>("drawrenderer:", "i@:@")});
  AddProperty(HcPropertyDirectGet<F, KsColorF>::Create(self, kGridColorId, kColor, "GridColor", true,
                                                       &F::GetGridColor, &F::SetGridColor));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kPanDivisionsId, kUInt, "PanDivisions", true,
                                                       &F::GetPanDivisions, &F::SetPanDivisions));
  AddProperty(HcPropertyObjectDirectGet<F, PanoView>::Create(self, kReferenceViewId, "ReferenceView", true,
                                                             &F::GetReferenceView, &F::SetReferenceView));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kTiltDivisionsId, kUInt, "TiltDivisions", true,
                                                       &F::GetTiltDivisions, &F::SetTiltDivisions));
  AddProperty(
      HcPropertyDirectGet<F, float>::Create(self, kZDepthId, kFloat, "ZDepth", true, &F::GetZDepth, &F::SetZDepth));
}
