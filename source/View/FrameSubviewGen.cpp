#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/FrameSubview.h"
#include "View/HcView.h"

HC_DEFINE_CLASS(FrameSubview, KsObject, "FrameSubview")
void FrameSubview::FrameSubviewClass::SetupProperties() {
  using F = FrameSubview;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kProportionId, KsPropertyType::kFloat, "Proportion", true,
                                                    &F::GetProportion, &F::SetProportion));
  AddProperty(HcPropertyObjectDirectGet<F, HcView>::Create(self, kViewId, "View", true, &F::GetView, &F::SetView));
}
