#include "Projection/OneVarFunction.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(OneVarFunction, KsObject, "OneVarFunction")

void OneVarFunction::OneVarFunctionClass::SetupProperties() {
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
