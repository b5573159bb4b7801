#include "Utilities/HcPropertyDirectGet.h"
#include "View/SphereGrid.h"

HC_DEFINE_CLASS(SphereGrid, PanTiltGrid, "SphereGrid")
void SphereGrid::SphereGridClass::SetupProperties() {
  using F = SphereGrid;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kRadiusId, KsPropertyType::kFloat, "Radius", true,
                                                    &F::GetRadius, &F::SetRadius));
}
