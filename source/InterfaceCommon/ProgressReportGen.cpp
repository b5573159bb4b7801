#include "InterfaceCommon/ProgressReport.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/HcPropertyPlaceholder.h"

HC_DEFINE_CLASS(ProgressReport, StatusReport, "ProgressReport")

void ProgressReport::ProgressReportClass::SetupProperties() {
  using namespace KsPropertyType;
  using R = ProgressReport;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({
      CocoaMethod<&R::CancelOperation>("cancelOperation", "i@:"),
      CocoaMethod<&R::Wait>("wait", "i@:"),
      CocoaMethod<&R::Task>("task", "i@:"),
      CocoaMethod<&R::AddStandardObservationsForObserver>("addStandardObservationsForObserver:", "i@:@"),
      CocoaMethod<&R::RemoveStandardObservationsForObserver>("removeStandardObservationsForObserver:", "i@:@"),
      CocoaMethod<&R::AddStatusReport>("addStatusReportreport:", "i@:@"),
      CocoaMethod<&R::AddStatusReportForAppErr>("addStatusReportForAppErrappErr:", "i@:i"),
  });
  AddProperty(HcPropertyDirectGet<R, float>::Create(self, R::kPercentCompleteId, kFloat, "PercentComplete", false,
                                                    &R::GetPercentComplete, nullptr));
  AddProperty(HcPropertyDirectGet<R, float>::Create(self, R::kProgressId, kFloat, "Progress", true, &R::GetProgress,
                                                    &R::SetProgress));
  AddProperty(HcPropertyDirectGet<R, float>::Create(self, R::kMaxProgressId, kFloat, "MaxProgress", true,
                                                    &R::GetMaxProgress, &R::SetMaxProgress));
  AddProperty(HcPropertyObjectDirectGet<R, StatusReportCollection>::Create(
      self, R::kStatusReportsId, "StatusReports", true,
      static_cast<KsRef<StatusReportCollection> (R::*)() const>(&R::GetStatusReports), nullptr));
  AddProperty(HcPropertyDirectGet<R, bool>::Create(self, R::kIsIndeterminateId, kBool, "IsIndeterminate", true,
                                                   &R::GetIsIndeterminate, &R::SetIsIndeterminate));
  AddProperty(HcPropertyDirectGet<R, bool>::Create(self, R::kCanCancelId, kBool, "CanCancel", true, &R::GetCanCancel,
                                                   &R::SetCanCancel));
  AddProperty(HcPropertyDirectGet<R, int32_t>::Create(self, R::kTaskModeId, kInt, "TaskMode", true, &R::GetTaskMode,
                                                      &R::SetTaskMode));
  AddProperty(HcPropertyPlaceholder::Create(self, R::kDidCancelId, kBool, "DidCancel"));
  AddProperty(HcPropertyPlaceholder::Create(self, R::kDidTaskId, kBool, "DidTask"));
  AddProperty(HcPropertyDirectGet<R, void*>::Create(self, R::kOperationReferenceId, kPointer, "OperationReference",
                                                    false, &R::GetOperationReference, &R::SetOperationReference));
  AddProperty(HcPropertyObjectDirectGet<R, KsObject>::Create(
      self, R::kOperationKeepAliveId, "OperationKeepAlive", false,
      static_cast<KsRef<KsObject> (R::*)() const>(&R::GetOperationKeepAlive), &R::SetOperationKeepAlive));
}
