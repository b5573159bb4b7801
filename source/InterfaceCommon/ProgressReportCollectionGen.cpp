#include "InterfaceCommon/ProgressReportCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(ProgressReportCollection, ProgressReport, "ProgressReportCollection",
                                  "ProgressReport")
