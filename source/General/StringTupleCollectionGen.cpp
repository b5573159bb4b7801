#include "General/StringTupleCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(StringTupleCollection, StringStringTuple, "stringtuples", "stringtuple")
