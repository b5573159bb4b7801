#include "Projection/CartesianFuncProj.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "View/CartesianProjectionView.h"

HC_DEFINE_CLASS(CartesianProjectionView, PanoView, "CartesianProjectionView")
void CartesianProjectionView::CartesianProjectionViewClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = CartesianProjectionView;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kNativeAspectRatioId, kFloat, "NativeAspectRatio", false,
                                                    &F::GetNativeAspectRatio, nullptr));
  AddProperty(HcPropertyObjectDirectGet<F, CartesianFuncProj>::Create(self, kProjectionId, "Projection", true,
                                                                      &F::GetProjection, &F::SetProjection));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kUseSourceCroppingId, kBool, "UseSourceCropping", true,
                                                   &F::GetUseSourceCropping, &F::SetUseSourceCropping));
  AddProperty(HcPropertyDirectGet<F, uint32_t>::Create(self, kLODId, kUInt, "LOD", true, &F::GetLOD, &F::SetLOD));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kUseViewAspectRatioId, kBool, "UseViewAspectRatio", true,
                                                   &F::GetUseViewAspectRatio, &F::SetUseViewAspectRatio));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kIgnoreLookDirectionId, kBool, "IgnoreLookDirection", true,
                                                   &F::GetIgnoreLookDirection, &F::SetIgnoreLookDirection));
}
