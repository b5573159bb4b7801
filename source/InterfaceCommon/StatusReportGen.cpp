#include "InterfaceCommon/StatusReport.h"
#include "Utilities/HcPropertyDirectGet.h"

HC_DEFINE_CLASS(StatusReport, KsObject, "StatusReport")

void StatusReport::StatusReportClass::SetupProperties() {
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyDirectGet<StatusReport, int32_t>::Create(self, StatusReport::kStatusId, KsPropertyType::kInt,
                                                                 "Status", true, &StatusReport::GetStatus,
                                                                 &StatusReport::SetStatus));
  AddProperty(HcPropertyDirectGet<StatusReport, PWStringRef>::Create(
      self, StatusReport::kDescriptionId, KsPropertyType::kString, "Description", true,
      &StatusReport::GetDescription, &StatusReport::SetDescription));
}
