#include "Renderer/QTVisualContextTexture.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(QTVisualContextTexture, HcTexture, "QTVisualContextTexture")

void QTVisualContextTexture::QTVisualContextTextureClass::SetupProperties() {
  using namespace KsPropertyType;
  using T = QTVisualContextTexture;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<T, void*>::Create(self, kCVOpenGLTextureId, kPointer, "CVOpenGLTexture", false,
                                                    nullptr, &T::SetCVTexturePointer));
}
