#include "Utilities/HcPropertyDirectGet.h"
#include "View/CylinderViewOpenGL.h"

HC_DEFINE_CLASS(CylinderViewOpenGL, CylinderView, "CylinderView")
void CylinderViewOpenGL::CylinderViewOpenGLClass::SetupProperties() {
  using F = CylinderViewOpenGL;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyDirectGet<F, uint32_t>::Create(self, kLODId, KsPropertyType::kUInt, "LOD", true, &F::GetLOD, &F::SetLOD));
}
