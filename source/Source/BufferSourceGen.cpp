#include "Source/BufferSource.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(BufferSource, PanoSource, "BufferSource")

void BufferSource::BufferSourceClass::SetupProperties() {
  using namespace KsPropertyType;
  using B = BufferSource;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<B, int32_t>::Create(self, kForceWidthId, kInt, "ForceWidth", true,
                                                      &B::GetForceWidth, &B::SetForceWidth));
  AddProperty(HcPropertyDirectGet<B, int32_t>::Create(self, kForceHeightId, kInt, "ForceHeight", true,
                                                      &B::GetForceHeight, &B::SetForceHeight));
  AddProperty(HcPropertyDirectGet<B, bool>::Create(self, kUseForcedDimensionsId, kBool, "UseForcedDimensions", true,
                                                   &B::GetUseForcedDimensions, &B::SetUseForcedDimensions));
  AddProperty(HcPropertyDirectGet<B, float>::Create(self, kFPSId, kFloat, "FPS", false, &B::GetFPS, nullptr));
}
