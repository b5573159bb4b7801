#include "Renderer/BitmapTextureSet.h"

HC_DEFINE_CLASS(BitmapTextureSet, HcTextureSet, "BitmapTextureSet")

void BitmapTextureSet::BitmapTextureSetClass::SetupProperties() {}
