#include "Renderer/BitmapTexture.h"
#include "Renderer/BitmapTextureSet.h"
#include "Renderer/OpenGLRenderer.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(OpenGLRenderer, PanoRenderer, "OpenGLRenderer")

void OpenGLRenderer::OpenGLRendererClass::SetupProperties() {
  using namespace KsPropertyType;
  using R = OpenGLRenderer;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<R, PWStringRef>::Create(self, kGLVersionId, kString, "GLVersion", false,
                                                          &R::GetGLVersion, nullptr));
  AddProperty(HcPropertyDirectGet<R, PWStringRef>::Create(self, kGLVendorId, kString, "GLVendor", false,
                                                          &R::GetGLVendor, nullptr));
  AddProperty(HcPropertyDirectGet<R, float>::Create(self, kFPSId, kFloat, "FPS", false, &R::GetFPS, nullptr));
}
