#include "Utilities/HcPropertyDirectGet.h"
#include "View/PanTiltGrid.h"

HC_DEFINE_ABSTRACT_CLASS(PanTiltGrid, KsObject, "PanTiltGrid")
void PanTiltGrid::PanTiltGridClass::SetupProperties() {
  using F = PanTiltGrid;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(
      HcPropertyDirectGet<F, uint32_t>::Create(self, kLODId, KsPropertyType::kUInt, "LOD", true, &F::GetLOD, &F::SetLOD));
}
