#include "Renderer/BitmapTexture.h"

HC_DEFINE_ABSTRACT_CLASS(BitmapTexture, HcTexture, "BitmapTexture")

void BitmapTexture::BitmapTextureClass::SetupProperties() {}
