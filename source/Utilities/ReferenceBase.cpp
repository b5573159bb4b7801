#include "Utilities/ReferenceBase.h"

#include "KsTrace.h"

eAppErr ReferenceBase::SetTarget(const KsRef<KsObject>&) { return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetTarget"); }
