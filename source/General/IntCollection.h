#pragma once

#include "General/KsSimpleCollection.h"

// A list of signed 32-bit integers, written as "Int" elements under the class name "Ints".
class IntCollection : public KsSimpleCollection<int32_t> {
  HC_CLASS_HEADER(IntCollection)
 public:
  static constexpr KsPropertyType::PropertyType kElementType = KsPropertyType::kInt;
  KsPropertyType::PropertyType GetPropertyType() const override { return kElementType; }
};
HC_VALUE_COLLECTION_CLASS_OBJECT(IntCollection)
