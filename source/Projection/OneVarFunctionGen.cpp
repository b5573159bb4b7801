#include "Projection/OneVarFunction.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(OneVarFunction, KsObject, "OneVarFunction")

namespace {

hc::runtime::MethodList OneVarFunctionBridgedMethods() {
  using F = OneVarFunction;
  return {
    CocoaMethod<&F::Evaluate>("evaluate:out:", "B@:f^f"),
    CocoaMethod<&F::Inverse>("inverse:out:", "B@:f^f"),
    CocoaMethod<&F::GetNominalDomain>("getNominalDomainMin:max:", "v@:^f^f"),
    CocoaMethod<&F::SetNominalDomain>("setNominalDomainMin:max:", "i@:ff"),
    CocoaMethod<&F::GetNominalRange>("getNominalRangeMin:max:", "v@:^f^f"),
    CocoaMethod<&F::SetNominalRange>("setNominalRangeMin:max:", "i@:ff"),
    CocoaMethod<&F::Compare>("isEqualTo:", "B@:@"),
  };
}

}  // namespace

void OneVarFunction::OneVarFunctionClass::SetupProperties() {
  AddObjCInstanceMethods(OneVarFunctionBridgedMethods());
  using namespace KsPropertyType;
  using F = OneVarFunction;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kCanCalcInverseId, kBool, "CanCalcInverse", false,
                                                   &F::GetCanCalcInverse, nullptr));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kDomainMaxId, kFloat, "DomainMax", true, &F::GetDomainMax,
                                                    &F::SetDomainMax));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kDomainMinId, kFloat, "DomainMin", true, &F::GetDomainMin,
                                                    &F::SetDomainMin));
}
