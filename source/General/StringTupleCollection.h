#pragma once

#include "General/KsTypeSafeCollection.h"
#include "General/StringStringTuple.h"

// An ordered list of string pairs, in the order added (pairs with equal
// strings are all kept), written as "stringtuple" elements under the class
// name "stringtuples".
class StringTupleCollection : public KsTypeSafeCollection<StringStringTuple> {
  HC_CLASS_HEADER(StringTupleCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(StringTupleCollection)
