#include "Projection/PolynomialFunc.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(PolynomialFunc, ProjectionAngleFunc, "PolynomialFunc")

namespace {

hc::runtime::MethodList PolynomialFuncBridgedMethods() {
  using F = PolynomialFunc;
  return {
    CocoaMethod<&F::Evaluate>("evaluate:out:", "B@:f^f"),
    CocoaMethod<&F::Inverse>("inverse:out:", "B@:f^f"),
    CocoaMethod<&F::Compare>("isEqualTo:", "B@:@"),
  };
}

}  // namespace

void PolynomialFunc::PolynomialFuncClass::SetupProperties() {
  AddObjCInstanceMethods(PolynomialFuncBridgedMethods());
  using F = PolynomialFunc;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, FloatCollection>::Create(self, kPolyTermsId, "PolyTerms", true,
                                                                    &F::GetPolyTerms, &F::SetPolyTerms));
}
