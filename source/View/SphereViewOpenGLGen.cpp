#include "Utilities/HcPropertyDirectGet.h"
#include "View/SphereViewOpenGL.h"

HC_DEFINE_CLASS(SphereViewOpenGL, SphereView, "SphereView")
void SphereViewOpenGL::SphereViewOpenGLClass::SetupProperties() {
  using F = SphereViewOpenGL;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyDirectGet<F, uint32_t>::Create(self, kLODId, KsPropertyType::kUInt, "LOD", true, &F::GetLOD, &F::SetLOD));
}
