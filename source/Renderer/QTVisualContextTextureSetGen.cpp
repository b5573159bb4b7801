#include "Renderer/PanoRenderer.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(QTVisualContextTextureSet, HcTextureSet, "QTVisualContextTextureSet")

void QTVisualContextTextureSet::QTVisualContextTextureSetClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = QTVisualContextTextureSet;
  KsRef<KsClassObject> self = ThisRef();
  // Pointer-typed properties take no text: HcML can't set them.
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kVisualContextId, kPointer, "VisualContext", false,
                                                    &S::GetVisualContext, &S::SetVisualContextPointer));
  AddProperty(HcPropertyObjectDirectGet<S, PanoRenderer>::Create(self, kRendererId, "Renderer", false,
                                                                 &S::GetRenderer, &S::SetRenderer));
  AddProperty(HcPropertyDirectGet<S, uint32_t>::Create(self, kFrameDelayId, kUInt, "FrameDelay", true,
                                                       &S::GetFrameDelay, &S::SetFrameDelay));
}
