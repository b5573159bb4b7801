#include "Renderer/HcVertexBuffer.h"
#include "Source/PanoSource.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/SourceDisplay.h"

HC_DEFINE_ABSTRACT_CLASS(SourceDisplay, HcVectorObject, "SourceDisplay")
void SourceDisplay::SourceDisplayClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = SourceDisplay;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyObjectDirectGet<F, PanoSource>::Create(self, kSourceId, "Source", true, &F::GetSource, &F::SetSource));
  AddProperty(HcPropertyDirectGet<F, KsRectF>::Create(self, kFramePercentId, kRect, "FramePercent", true,
                                                      &F::GetFramePercent, &F::SetFramePercent));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kFrameInPointsId, kBool, "FrameInPoints", true,
                                                   &F::GetFrameInPoints, &F::SetFrameInPoints));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kDrawTileBoundaryId, kBool, "DrawTileBoundary", true,
                                                   &F::GetDrawTileBoundary, &F::SetDrawTileBoundary));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kTextureCountId, kUInt, "TextureCount", false,
                                                       &F::GetTextureCount, nullptr));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kOpacityId, kFloat, "Opacity", true, &F::GetOpacity,
                                                    &F::SetOpacity));
}
