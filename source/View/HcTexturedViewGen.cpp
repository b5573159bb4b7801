#include "General/CocoaMethod.h"
#include "Renderer/PanoRenderer.h"
#include "Source/PanoSource.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/HcTexturedView.h"

HC_DEFINE_ABSTRACT_CLASS(HcTexturedView, HcView, "HcTexturedView")
void HcTexturedView::HcTexturedViewClass::SetupProperties() {
  using F = HcTexturedView;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({CocoaMethod<&F::Draw>("drawrenderer:", "i@:@")});
  AddProperty(
      HcPropertyObjectDirectGet<F, PanoSource>::Create(self, kSourceId, "Source", true, &F::GetSource, &F::SetSource));
}
