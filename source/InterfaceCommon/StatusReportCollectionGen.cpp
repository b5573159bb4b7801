#include "InterfaceCommon/StatusReportCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(StatusReportCollection, StatusReport, "StatusReportCollection", "StatusReport")
