#pragma once

#include <cstdint>

#include "General/StringToStringLookupTable.h"
#include "InterfaceCommon/HcPresentation.h"

// The presentation of an authoring project: its sources are project sources
// (HcProjectSource) that name the movies they are made from.
class HcProjectHelper : public HcPresentation {
  HC_CLASS_HEADER(HcProjectHelper)
 public:
  enum : int32_t { kMovieAnnotationLookupTableId = 400 };

  HcProjectHelper();
  ~HcProjectHelper() override;

  using HcPresentation::GetMainSource;
  // -2 for a description that is not an HcProjectSource (the list unchanged).
  eAppErr SetMainSource(const KsRef<SourceDescription>& description) override;

  KsRef<StringToStringLookupTable> GetMovieAnnotationLookupTable() const { return m_movieAnnotationLookupTable; }
  eAppErr SetMovieAnnotationLookupTable(const KsRef<StringToStringLookupTable>& table);

 protected:
  KsRef<SourceDescription> MakeBlankMainSource() override;

 private:
  KsRef<StringToStringLookupTable> m_movieAnnotationLookupTable;
};
HC_CLASS_OBJECT(HcProjectHelper, HcPresentation)
