#include "General/CocoaMethod.h"
#include "Renderer/PanoRenderer.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(PanoRenderer, KsObject, "RendererBase")

void PanoRenderer::PanoRendererClass::SetupProperties() {
  using R = PanoRenderer;
  AddObjCInstanceMethods({
      CocoaMethod<&R::AcquireDrawLock>("acquireDrawLock", "v@:"),
      CocoaMethod<&R::ReleaseDrawLock>("releaseDrawLock", "v@:"),
  });
  using namespace KsPropertyType;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<R, KsColorF>::Create(self, kBackgroundColorId, kColor, "BackgroundColor", true,
                                                       &R::GetBackgroundColor, &R::SetBackgroundColor));
  AddProperty(HcPropertyDirectGet<R, float>::Create(self, kPixelAspectRatioId, kFloat, "PixelAspectRatio", true,
                                                    &R::GetPixelAspectRatio, &R::SetPixelAspectRatio));
  AddProperty(HcPropertyDirectGet<R, bool>::Create(self, kIsDirtyId, kBool, "IsDirty", false, &R::GetIsDirty,
                                                   &R::SetIsDirty));
  AddProperty(HcPropertyDirectGet<R, uint32_t>::Create(self, kUpdateCycleId, kUInt, "UpdateCycle", false,
                                                       &R::GetUpdateCycle, nullptr));
}
