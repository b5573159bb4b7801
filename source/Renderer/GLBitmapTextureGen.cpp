#include "Renderer/GLBitmapTexture.h"

HC_DEFINE_CLASS(GLBitmapTexture, BitmapTexture, "GLBitmapTexture")

void GLBitmapTexture::GLBitmapTextureClass::SetupProperties() {}
