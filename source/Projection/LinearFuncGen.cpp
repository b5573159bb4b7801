#include "Projection/LinearFunc.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(LinearFunc, ProjectionAngleFunc, "LinearFunc")

void LinearFunc::LinearFuncClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = LinearFunc;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kMaxValueId, kFloat, "MaxValue", true, &F::GetMaxValue,
                                                    &F::SetMaxValue));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kMinValueId, kFloat, "MinValue", true, &F::GetMinValue,
                                                    &F::SetMinValue));
}
