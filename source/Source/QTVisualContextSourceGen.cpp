#include "Renderer/PanoRenderer.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "Source/QTVisualContextSource.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(QTVisualContextSource, PanoSource, "QTVisualContextSource")

void QTVisualContextSource::QTVisualContextSourceClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = QTVisualContextSource;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<S, PanoRenderer>::Create(self, kRendererForVisualContextId,
                                                                 "RendererForVisualContext", true,
                                                                 &S::GetRendererForVisualContext,
                                                                 &S::SetRendererForVisualContext));
  AddProperty(HcPropertyDirectGet<S, void*>::Create(self, kVisualContextPtrId, kPointer, "VisualContextPtr", false,
                                                    &S::GetVisualContextPtr, &S::SetVisualContextPtr));
  AddProperty(HcPropertyObjectDirectGet<S, QTVisualContextTextureSet>::Create(
      self, kVCTextureSetId, "VCTextureSet", false, &S::GetVCTextureSet, nullptr));
}
