#include "General/CocoaMethod.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(PanoSource, KsObject, "PanoSource")

namespace {

int32_t CreatorMode(bool mapFullFrame) { return PanoSource::SetDefaultMapFullFrame(mapFullFrame); }

}  // namespace

void PanoSource::PanoSourceClass::SetupProperties() {
  AddObjCClassMethods({CocoaClassMethod<&CreatorMode>("creatorMode:", "i@:B")});
  AddObjCInstanceMethods({CocoaMethod<&PanoSource::FinishedDrawCycle>("finishedDrawCycle", "i@:")});
  using namespace KsPropertyType;
  using S = PanoSource;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<S, KsObject>::Create(self, kClockId, "Clock", false, &S::GetClock,
                                                             &S::SetClock));
  AddProperty(HcPropertyObjectDirectGet<S, PanoRenderer>::Create(self, kRendererId, "Renderer", false,
                                                                 &S::GetRenderer, &S::SetRenderer));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, kHasAlphaId, kBool, "HasAlpha", true, &S::GetHasAlpha,
                                                   &S::SetHasAlpha));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, kHasDataId, kBool, "HasData", false, &S::GetHasData,
                                                   nullptr));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, kHasDimensionsId, kBool, "HasDimensions", false,
                                                   &S::GetHasDimensions, nullptr));
  AddProperty(HcPropertyDirectGet<S, int32_t>::Create(self, kHeightId, kInt, "Height", false, &S::GetHeight,
                                                      nullptr));
  AddProperty(HcPropertyDirectGet<S, float>::Create(self, kImageAspectId, kFloat, "ImageAspect", false,
                                                    &S::GetImageAspect, nullptr));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, kMapFullFrameId, kBool, "MapFullFrame", true,
                                                   &S::GetMapFullFrame, &S::SetMapFullFrame));
  AddProperty(HcPropertyDirectGet<S, float>::Create(self, kPanAngleId, kFloat, "PanAngle", true, &S::GetPanAngle,
                                                    &S::SetPanAngle));
  AddProperty(HcPropertyDirectGet<S, float>::Create(self, kPixelAspectRatioId, kFloat, "PixelAspectRatio", false,
                                                    &S::GetPixelAspectRatio, &S::SetPixelAspectRatio));
  AddProperty(HcPropertyObjectDirectGet<S, PanoProjection>::Create(self, kProjectionId, "Projection", true,
                                                                   &S::GetProjection, &S::SetProjection));
  AddProperty(HcPropertyDirectGet<S, bool>::Create(self, kIsPlanarSourceId, kBool, "IsPlanarSource", false,
                                                   &S::GetIsPlanarSource, nullptr));
  AddProperty(HcPropertyObjectDirectGet<S, KsObject>::Create(self, kTweensId, "Tweens", true, &S::GetTweens,
                                                             &S::SetTweens));
  AddProperty(HcPropertyDirectGet<S, int32_t>::Create(self, kWidthId, kInt, "Width", false, &S::GetWidth,
                                                      nullptr));
}
