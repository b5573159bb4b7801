#pragma once

#include "General/KsTypeSafeCollection.h"
#include "InterfaceCommon/ProgressReport.h"

// An ordered list of progress reports (the children of an aggregate report).
class ProgressReportCollection : public KsTypeSafeCollection<ProgressReport> {
  HC_CLASS_HEADER(ProgressReportCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(ProgressReportCollection)
