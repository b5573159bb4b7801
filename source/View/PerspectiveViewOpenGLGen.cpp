#include "Utilities/HcPropertyDirectGet.h"
#include "View/PerspectiveViewOpenGL.h"

HC_DEFINE_CLASS(PerspectiveViewOpenGL, PerspectiveView, "PerspectiveView")
void PerspectiveViewOpenGL::PerspectiveViewOpenGLClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = PerspectiveViewOpenGL;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kLODId, kUInt, "LOD", true, &F::GetLOD, &F::SetLOD));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kDrawLookPositionId, kBool, "DrawLookPosition", true,
                                                   &F::GetDrawLookPosition, &F::SetDrawLookPosition));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kOverlapPixelsId, kInt, "OverlapPixels", true,
                                                      &F::GetOverlapPixels, &F::SetOverlapPixels));
}
