#include "Renderer/SubsetTextureSet.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(SubsetTextureSet, HcTextureSet, "SubsetTextureSet")

void SubsetTextureSet::SubsetTextureSetClass::SetupProperties() {
  using namespace KsPropertyType;
  using S = SubsetTextureSet;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<S, HcTextureSet>::Create(self, kBaseTextureSetId, "BaseTextureSet", true,
                                                                 &S::GetBaseTextureSet, &S::SetBaseTextureSet));
  AddProperty(HcPropertyDirectGet<S, KsRectF>::Create(self, kSrcRect0to1Id, kRect, "SrcRect0to1", true,
                                                      &S::GetSrcRect0to1, &S::SetSrcRect0to1));
}
