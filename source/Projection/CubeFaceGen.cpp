#include "Projection/CubeFace.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(CubeFace, KsObject, "CubeFace")

void CubeFace::CubeFaceClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = CubeFace;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kPanCenterDegId, kFloat, "PanCenterDeg", true,
                                                    &F::GetPanCenterDeg, &F::SetPanCenterDeg));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kTiltCenterDegId, kFloat, "TiltCenterDeg", true,
                                                    &F::GetTiltCenterDeg, &F::SetTiltCenterDeg));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kFacePositionXId, kUInt, "FacePositionX", true,
                                                       &F::GetFacePositionX, &F::SetFacePositionX));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kFacePositionYId, kUInt, "FacePositionY", true,
                                                       &F::GetFacePositionY, &F::SetFacePositionY));
}
