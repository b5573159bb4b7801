#include "Time/HcMovieTweenLookMarker.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(HcMovieTweenLookMarker, KsObject, "HcMovieTweenLookMarker")
void HcMovieTweenLookMarker::HcMovieTweenLookMarkerClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcMovieTweenLookMarker;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, int64_t>::Create(self, kTimeValueId, kInt64, "TimeValue", true,
                                                      &F::GetTimeValue, &F::SetTimeValue));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kMarkerTypeId, kInt, "MarkerType", false,
                                                      &F::GetMarkerType, &F::SetMarkerType));
  AddProperty(HcPropertyObjectDirectGet<F, LookDirectionValue>::Create(
      self, kLeftLookDirectionId, "LeftLookDirection", true, &F::GetLeftLookDirection, &F::SetLeftLookDirection));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kLeftIsImplicitId, kBool, "LeftIsImplicit", true,
                                                   &F::GetLeftIsImplicit, &F::SetLeftIsImplicit));
  AddProperty(HcPropertyObjectDirectGet<F, LookDirectionValue>::Create(
      self, kRightLookDirectionId, "RightLookDirection", true, &F::GetRightLookDirection, &F::SetRightLookDirection));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kRightIsImplicitId, kBool, "RightIsImplicit", true,
                                                   &F::GetRightIsImplicit, &F::SetRightIsImplicit));
  AddProperty(HcPropertyDirectGet<F, int32_t>::Create(self, kRightPanPolarityId, kInt, "RightPanPolarity", true,
                                                      &F::GetRightPanPolarity, &F::SetRightPanPolarity));
}
