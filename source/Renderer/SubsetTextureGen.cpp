#include "Renderer/SubsetTexture.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(SubsetTexture, HcTexture, "SubsetTexture")

void SubsetTexture::SubsetTextureClass::SetupProperties() {
  using namespace KsPropertyType;
  using T = SubsetTexture;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<T, HcTexture>::Create(self, kBaseTextureId, "BaseTexture", true,
                                                              &T::GetBaseTexture, &T::SetBaseTexture));
  AddProperty(HcPropertyDirectGet<T, KsRectF>::Create(self, kTexRect0to1Id, kRect, "TexRect0to1", true,
                                                      &T::GetTexRect0to1, &T::SetTexRect0to1));
}
