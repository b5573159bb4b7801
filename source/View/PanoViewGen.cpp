#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "View/PanoView.h"

HC_DEFINE_ABSTRACT_CLASS(PanoView, HcTexturedView, "PanoView")
void PanoView::PanoViewClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = PanoView;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({
      CocoaMethod<&F::GetLookDirection>("getLookDirectionPan:tilt:vfov:skew:", "i@:^f^f^f^f"),
      CocoaMethod<&F::GetConstrainedLookDirection>("getConstrainedLookDirectionPan:tilt:vfov:skew:", "i@:^f^f^f^f"),
      CocoaMethod<&F::SetLookDirection>("setLookDirectionPan:tilt:vfov:skew:", "i@:ffff"),
  });
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kPanAngleId, kFloat, "PanAngle", true, &F::GetPanAngle,
                                                    &F::SetPanAngle));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kTiltAngleId, kFloat, "TiltAngle", true, &F::GetTiltAngle,
                                                    &F::SetTiltAngle));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kVFOVId, kFloat, "VFOV", true, &F::GetVFOV, &F::SetVFOV));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kSkewId, kFloat, "Skew", true, &F::GetSkew, &F::SetSkew));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kVFOVMinId, kFloat, "VFOVMin", true, &F::GetVFOVMin,
                                                    &F::SetVFOVMin));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kVFOVMaxId, kFloat, "VFOVMax", true, &F::GetVFOVMax,
                                                    &F::SetVFOVMax));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kLookConstraintsId, kUInt, "LookConstraints", true,
                                                       &F::GetLookConstraints, &F::SetLookConstraints));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kNumberOfImagesId, kUInt, "NumberOfImages", false,
                                                       &F::GetNumberOfImages, nullptr));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kFocalLength35mmId, kFloat, "FocalLength35mm", false,
                                                    &F::GetFocalLength35mm, &F::SetFocalLength35mm));
}
