#include "Renderer/HcTexture.h"

HC_DEFINE_ABSTRACT_CLASS(HcTexture, KsObject, "HcTexture")

void HcTexture::HcTextureClass::SetupProperties() {}
