#include "Utilities/HcPropertyDirectGet.h"
#include "View/CylinderView.h"

HC_DEFINE_ABSTRACT_CLASS(CylinderView, PanoView, "CylinderViewBase")
void CylinderView::CylinderViewClass::SetupProperties() {
  using F = CylinderView;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kNaturalAspectRatioId, KsPropertyType::kFloat,
                                                    "NaturalAspectRatio", false, &F::GetNaturalAspectRatio, nullptr));
}
