#include "Renderer/AppleOpenGLRenderer.h"
#include "Renderer/BitmapTexture.h"
#include "Renderer/BitmapTextureSet.h"
#include "Utilities/HcPropertyAppErr.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(AppleOpenGLRenderer, OpenGLRenderer, "oglrenderer")

void AppleOpenGLRenderer::AppleOpenGLRendererClass::SetupProperties() {
  using namespace KsPropertyType;
  using R = AppleOpenGLRenderer;
  KsRef<KsClassObject> self = ThisRef();
  // Pointer-typed properties take no text: HcML can't set them.
  AddProperty(HcPropertyDirectGet<R, void*>::Create(self, kCGLContextId, kPointer, "CGLContext", false,
                                                    &R::GetCGLContext, &R::SetCGLContext));
  AddProperty(HcPropertyDirectGet<R, void*>::Create(self, kCGLPixelFormatId, kPointer, "CGLPixelFormat", false,
                                                    &R::GetCGLPixelFormat, &R::SetCGLPixelFormat));
  AddProperty(HcPropertyDirectGet<R, int32_t>::Create(self, kSwapIntervalId, kInt, "SwapInterval", false,
                                                      &R::GetSwapInterval, &R::SetSwapInterval));
  AddProperty(HcPropertyAppErr<R, void*>::Create(self, kDisplayLinkNextOutputTimeId, kPointer,
                                                 "DisplayLinkNextOutputTime", false, &R::CopyNextOutputTimeInto,
                                                 &R::CopyNextOutputTimeFrom));
  AddProperty(HcPropertyObjectDirectGet<R, KsObject>::Create(self, kMasterClockId, "MasterClock", false,
                                                             &R::GetMasterClock, &R::SetMasterClock));
  AddProperty(HcPropertyDirectGet<R, float>::Create(self, kExpectedReadAheadId, kFloat, "ExpectedReadAhead", false,
                                                    &R::GetExpectedReadAhead, &R::SetExpectedReadAhead));
}
