#include "Projection/PolynomialFunc.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(PolynomialFunc, ProjectionAngleFunc, "PolynomialFunc")

void PolynomialFunc::PolynomialFuncClass::SetupProperties() {
  using F = PolynomialFunc;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, FloatCollection>::Create(self, kPolyTermsId, "PolyTerms", true,
                                                                    &F::GetPolyTerms, &F::SetPolyTerms));
}
