#pragma once

#include "General/KsSimpleCollection.h"

// A list of signed 64-bit integers, written as "Int64" elements under the class name "Int64s".
class Int64Collection : public KsSimpleCollection<int64_t> {
  HC_CLASS_HEADER(Int64Collection)
 public:
  static constexpr KsPropertyType::PropertyType kElementType = KsPropertyType::kInt64;
  KsPropertyType::PropertyType GetPropertyType() const override { return kElementType; }
};
HC_VALUE_COLLECTION_CLASS_OBJECT(Int64Collection)
