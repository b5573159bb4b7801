#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/KsOperation.h"

HC_DEFINE_ABSTRACT_CLASS(KsOperation, KsObject, "KsOperation")

void KsOperation::KsOperationClass::SetupProperties() {
  KsRef<KsClassObject> self = ThisRef();
  using O = KsOperation;
  AddObjCInstanceMethods({
      CocoaMethod<&O::Start>("start", "@@:"),
      CocoaMethod<&O::Task>("taskreport:", "i@:@"),
      CocoaMethod<&O::Cancel>("cancelreport:", "i@:@"),
      CocoaMethod<&O::AttachToProgressReport>("attachToProgressReportreport:", "i@:@"),
      CocoaMethod<&O::DetachFromProgressReport>("detachFromProgressReportreport:", "i@:@"),
      CocoaMethod<&O::FailWithAppErr>("failWithAppErrerror:", "i@:i"),
  });
  AddProperty(HcPropertyDirectGet<KsOperation, int32_t>::Create(self, KsOperation::kOperationStateId,
                                                                KsPropertyType::kInt, "OperationState", true,
                                                                &KsOperation::GetOperationState, nullptr));
}
