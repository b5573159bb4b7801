#include "General/StringToStringLookupTable.h"

#include "General/StringTupleCollection.h"

StringToStringLookupTable::StringToStringLookupTable() = default;

StringToStringLookupTable::~StringToStringLookupTable() = default;

KsRef<StringTupleCollection> StringToStringLookupTable::GetTuples() {
  if (!m_tuples) m_tuples = KsMakeRef<StringTupleCollection>();
  return m_tuples;
}

eAppErr StringToStringLookupTable::SetTuples(const KsRef<StringTupleCollection>& tuples) {
  m_tuples = tuples;
  return AppErr::kNoErr;
}
