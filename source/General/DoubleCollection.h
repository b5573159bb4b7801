#pragma once

#include "General/KsSimpleCollection.h"

// A list of 64-bit floats, written as "Double" elements under the class name "Doubles".
class DoubleCollection : public KsSimpleCollection<double> {
  HC_CLASS_HEADER(DoubleCollection)
 public:
  static constexpr KsPropertyType::PropertyType kElementType = KsPropertyType::kDouble;
  KsPropertyType::PropertyType GetPropertyType() const override { return kElementType; }
};
HC_VALUE_COLLECTION_CLASS_OBJECT(DoubleCollection)
