#include "Renderer/PanoRenderer.h"
#include "Renderer/PixelFormatArbiter.h"
#include "Source/PanoSource.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(PixelFormatArbiter, KsObject, "PixelFormatArbiter")

void PixelFormatArbiter::PixelFormatArbiterClass::SetupProperties() {
  using namespace KsPropertyType;
  using A = PixelFormatArbiter;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<A, PanoSource>::Create(self, kSourceId, "Source", true, &A::GetSource,
                                                               &A::SetSource));
  AddProperty(HcPropertyObjectDirectGet<A, PanoRenderer>::Create(self, kRendererId, "Renderer", true,
                                                                 &A::GetRenderer, &A::SetRenderer));
  AddProperty(HcPropertyDirectGet<A, uint32_t>::Create(self, kSourcePixelFormatId, kUInt, "SourcePixelFormat",
                                                       false, &A::GetSourcePixelFormat, nullptr));
}
