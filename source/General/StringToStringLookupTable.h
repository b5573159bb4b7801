#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/RefTempl.h"

class StringTupleCollection;

// An object owning one list of string pairs; users look strings up by
// walking the pairs themselves.
class StringToStringLookupTable : public KsObject {
  HC_CLASS_HEADER(StringToStringLookupTable)
 public:
  enum : int32_t { kTuplesId = 200 };

  StringToStringLookupTable();
  ~StringToStringLookupTable() override;

  // Made empty on first read and kept, so never empty.
  KsRef<StringTupleCollection> GetTuples();
  // A null collection may be stored; the next read then makes a fresh one.
  // No change notice of its own.
  eAppErr SetTuples(const KsRef<StringTupleCollection>& tuples);

 private:
  KsRef<StringTupleCollection> m_tuples;
};
HC_CLASS_OBJECT(StringToStringLookupTable, KsObject)
