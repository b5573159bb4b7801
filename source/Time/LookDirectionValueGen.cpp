#include "Time/LookDirectionValue.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(LookDirectionValue, KsObject, "LookDirectionValue")
void LookDirectionValue::LookDirectionValueClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = LookDirectionValue;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kPanAngleId, kFloat, "PanAngle", true, &F::GetPanAngle,
                                                    &F::SetPanAngle));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kTiltAngleId, kFloat, "TiltAngle", true, &F::GetTiltAngle,
                                                    &F::SetTiltAngle));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kVFOVId, kFloat, "VFOV", true, &F::GetVFOV, &F::SetVFOV));
}
