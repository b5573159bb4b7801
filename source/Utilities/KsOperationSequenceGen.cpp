#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/KsOperationSequence.h"

HC_DEFINE_CLASS(KsOperationSequence, KsOperation, "KsOperationSequence")

void KsOperationSequence::KsOperationSequenceClass::SetupProperties() {
  using S = KsOperationSequence;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({
      CocoaMethod<&S::Start>("start", "@@:"),
      CocoaMethod<&S::Task>("taskreport:", "i@:@"),
      CocoaMethod<&S::Cancel>("cancelreport:", "i@:@"),
  });
  AddProperty(HcPropertyObjectDirectGet<S, KsOperationCollection>::Create(
      self, S::kOperationSequenceId, "OperationSequence", true, &S::GetOperationSequence, &S::SetOperationSequence));
  AddProperty(HcPropertyObjectDirectGet<S, FloatCollection>::Create(
      self, S::kOperationWeightsId, "OperationWeights", true, &S::GetOperationWeights, &S::SetOperationWeights));
}
