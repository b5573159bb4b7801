#include "General/FloatCollection.h"
#include "Time/FloatBindingTuple.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(FloatBindingTuple, KsObject, "FloatBindingTuple")
void FloatBindingTuple::FloatBindingTupleClass::SetupProperties() {
  using F = FloatBindingTuple;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcPropertyBindingBase>::Create(self, kBindingId, "Binding", true,
                                                                          &F::GetBinding, &F::SetBinding));
  AddProperty(HcPropertyObjectDirectGet<F, FloatCollection>::Create(self, kFloatsId, "Floats", true, &F::GetFloats,
                                                                    &F::SetFloats));
}
