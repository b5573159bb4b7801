#include "Renderer/HcVertexBuffer.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "View/HcTexViewer.h"

HC_DEFINE_CLASS(HcTexViewer, SourceDisplay, "HcTexViewer")
void HcTexViewer::HcTexViewerClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcTexViewer;
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(ThisRef(), kWhichTextureId, kUInt, "WhichTexture", true,
                                                       &F::GetWhichTexture, &F::SetWhichTexture));
}
