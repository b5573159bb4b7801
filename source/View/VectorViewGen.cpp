#include "Renderer/HcVertexBuffer.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/PanoView.h"
#include "View/VectorObjectCollection.h"
#include "View/VectorView.h"

HC_DEFINE_CLASS(VectorView, HcView, "VectorOverlay")
void VectorView::VectorViewClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = VectorView;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, KsColorF>::Create(self, kBackgroundColorId, kColor, "BackgroundColor", true,
                                                       &F::GetBackgroundColor, &F::SetBackgroundColor));
  AddProperty(HcPropertyObjectDirectGet<F, PanoView>::Create(self, kContextViewId, "ContextView", true,
                                                             &F::GetContextView, &F::SetContextView));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kDrawBackgroundId, kBool, "DrawBackground", true,
                                                   &F::GetDrawBackground, &F::SetDrawBackground));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kDrawObjectsOverBackgroundId, kBool,
                                                   "DrawObjectsOverBackground", true, &F::GetDrawObjectsOverBackground,
                                                   &F::SetDrawObjectsOverBackground));
  AddProperty(HcPropertyObjectDirectGet<F, VectorObjectCollection>::Create(
      self, kVectorObjectsId, "VectorObjects", true, &F::GetVectorObjects, &F::SetVectorObjects));
}
