#include "Renderer/HcTextureSet.h"

HC_DEFINE_ABSTRACT_CLASS(HcTextureSet, KsObject, "HcTextureSet")

void HcTextureSet::HcTextureSetClass::SetupProperties() {}
