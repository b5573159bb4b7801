#include "Source/MosaicSource.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(MosaicSource, PanoSource, "MosaicSource")

void MosaicSource::MosaicSourceClass::SetupProperties() {
  using namespace KsPropertyType;
  using M = MosaicSource;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<M, PanoSource>::Create(self, kBaseSourceId, "BaseSource", true,
                                                               &M::GetBaseSource, &M::SetBaseSource));
  AddProperty(HcPropertyDirectGet<M, KsRectF>::Create(self, kSrcRect0to1Id, kRect, "SrcRect0to1", false,
                                                      &M::GetSrcRect0to1, &M::SetSrcRect0to1));
  AddProperty(HcPropertyDirectGet<M, KsRectF>::Create(self, kSrcRectPixId, kRect, "SrcRectPix", true,
                                                      &M::GetSrcRectPix, &M::SetSrcRectPix));
}
