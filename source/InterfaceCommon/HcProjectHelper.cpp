#include "InterfaceCommon/HcProjectHelper.h"

#include "InterfaceCommon/HcProjectSource.h"
#include "KsTrace.h"

HcProjectHelper::HcProjectHelper() : m_movieAnnotationLookupTable(KsMakeRef<StringToStringLookupTable>()) {}
HcProjectHelper::~HcProjectHelper() = default;

KsRef<SourceDescription> HcProjectHelper::MakeBlankMainSource() {
  KS_TRACE(KsTrace::kWarning, "Creating blank project source for old MainSource idiom");
  return KsMakeRef<HcProjectSource>();
}

eAppErr HcProjectHelper::SetMainSource(const KsRef<SourceDescription>& description) {
  if (description && !description.DynamicCast<HcProjectSource>()) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "SetMainSource");
  }
  return HcPresentation::SetMainSource(description);
}

eAppErr HcProjectHelper::SetMovieAnnotationLookupTable(const KsRef<StringToStringLookupTable>& table) {
  if (table == m_movieAnnotationLookupTable) return AppErr::kNoErr;
  DidChangeCaller change(this, kMovieAnnotationLookupTableId);
  m_movieAnnotationLookupTable = table;
  return AppErr::kNoErr;
}
