#pragma once

#include "General/KsSimpleCollection.h"

// A list of 32-bit floats, written as "Float" elements under the class name "Floats".
class FloatCollection : public KsSimpleCollection<float> {
  HC_CLASS_HEADER(FloatCollection)
 public:
  static constexpr KsPropertyType::PropertyType kElementType = KsPropertyType::kFloat;
  KsPropertyType::PropertyType GetPropertyType() const override { return kElementType; }
};
HC_VALUE_COLLECTION_CLASS_OBJECT(FloatCollection)
