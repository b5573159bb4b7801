#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/KsOperation.h"

HC_DEFINE_ABSTRACT_CLASS(KsOperation, KsObject, "KsOperation")

void KsOperation::KsOperationClass::SetupProperties() {
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<KsOperation, int32_t>::Create(self, KsOperation::kOperationStateId,
                                                                KsPropertyType::kInt, "OperationState", true,
                                                                &KsOperation::GetOperationState, nullptr));
}
