#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/FrameSubViewCollection.h"
#include "View/FrameView.h"

HC_DEFINE_CLASS(FrameView, HcView, "FrameView")
void FrameView::FrameViewClass::SetupProperties() {
  using F = FrameView;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, FrameSubViewCollection>::Create(self, kSubViewsId, "SubViews", true,
                                                                           &F::GetSubViews, &F::SetSubViews));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kVerticalId, KsPropertyType::kBool, "Vertical", true,
                                                   &F::GetVertical, &F::SetVertical));
}
