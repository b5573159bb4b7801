#include "Utilities/HcPropertyDirectGet.h"
#include "View/SphereView.h"

HC_DEFINE_ABSTRACT_CLASS(SphereView, PanoView, "SphereViewBase")
void SphereView::SphereViewClass::SetupProperties() {
  using F = SphereView;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kRadialOffsetId, KsPropertyType::kFloat, "RadialOffset",
                                                    true, &F::GetRadialOffset, &F::SetRadialOffset));
}
