#pragma once

#include "General/KsTypeSafeCollection.h"
#include "InterfaceCommon/StatusReport.h"

// The status entries of a task (progress reports are status reports too).
class StatusReportCollection : public KsTypeSafeCollection<StatusReport> {
  HC_CLASS_HEADER(StatusReportCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(StatusReportCollection)
