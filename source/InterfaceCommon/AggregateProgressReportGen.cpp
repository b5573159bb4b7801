#include "InterfaceCommon/AggregateProgressReport.h"
#include "General/CocoaMethod.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(AggregateProgressReport, ProgressReport, "AggregateProgressReport")

void AggregateProgressReport::AggregateProgressReportClass::SetupProperties() {
  using namespace KsPropertyType;
  using A = AggregateProgressReport;
  KsRef<KsClassObject> self = ThisRef();
  AddObjCInstanceMethods({
      CocoaMethod<&A::AddReport>("addReport:", "i@:@"),
      CocoaMethod<&A::RemoveReport>("removeReport:", "i@:@"),
      CocoaMethod<&A::CancelOperation>("cancelOperation", "i@:"),
      CocoaMethod<&A::Wait>("wait", "i@:"),
      CocoaMethod<&A::Task>("task", "i@:"),
  });
  AddProperty(HcPropertyObjectDirectGet<A, ProgressReportCollection>::Create(
      self, A::kProgressReportsId, "ProgressReports", true, &A::GetProgressReports, &A::SetProgressReports));
  AddProperty(HcPropertyDirectGet<A, int32_t>::Create(self, A::kSimultaneousTasksId, kInt, "SimultaneousTasks", true,
                                                      &A::GetSimultaneousTasks, &A::SetSimultaneousTasks));
  AddProperty(HcPropertyDirectGet<A, int32_t>::Create(self, A::kWeightingModeId, kInt, "WeightingMode", true,
                                                      &A::GetWeightingMode, &A::SetWeightingMode));
  AddProperty(HcPropertyDirectGet<A, bool>::Create(self, A::kCancelOnErrorId, kBool, "CancelOnError", true,
                                                   &A::GetCancelOnError, &A::SetCancelOnError));
}
