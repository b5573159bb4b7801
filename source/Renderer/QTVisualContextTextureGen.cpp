#include "Renderer/QTVisualContextTexture.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(QTVisualContextTexture, HcTexture, "QTVisualContextTexture")

void QTVisualContextTexture::QTVisualContextTextureClass::SetupProperties() {
  using namespace KsPropertyType;
  using T = QTVisualContextTexture;
  AddProperty(HcPropertyDirectGet<T, void*>::Create(ThisRef(), kCVOpenGLTextureId, kPointer, "CVOpenGLTexture", false,
                                                    nullptr, &T::SetCVTexturePointer));
}
