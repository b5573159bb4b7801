#include "General/StringToStringLookupTable.h"
#include "General/StringTupleCollection.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_CLASS(StringToStringLookupTable, KsObject, "StringToStringLookupTable")

void StringToStringLookupTable::StringToStringLookupTableClass::SetupProperties() {
  AddProperty(HcPropertyObjectDirectGet<StringToStringLookupTable, StringTupleCollection>::Create(
      ThisRef(), StringToStringLookupTable::kTuplesId, "Tuples", true, &StringToStringLookupTable::GetTuples,
      &StringToStringLookupTable::SetTuples));
}
