#include "Renderer/PanoRenderer.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(QTVisualContextTextureSet, HcTextureSet, "QTVisualContextTextureSet")

void QTVisualContextTextureSet::QTVisualContextTextureSetClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = QTVisualContextTextureSet;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kVisualContextId, kPointer, "VisualContext", false,
                                                    &S::GetVisualContextPointer, nullptr));
  AddProperty(HcPropertyObjectDirectGet<S, PanoRenderer>::Create(self, kRendererId, "Renderer", false, &S::GetRenderer,
                                                                 &S::SetRenderer));
  AddProperty(HcPropertyDirectGet<S, uint32_t>::Create(self, kFrameDelayId, kUInt, "FrameDelay", true,
                                                       &S::GetFrameDelay, &S::SetFrameDelay));
}
