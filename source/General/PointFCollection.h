#pragma once

#include "General/KsSimpleCollection.h"

// A list of float points, written as "Point" elements under the class name "Points".
class PointFCollection : public KsSimpleCollection<KsPointF> {
  HC_CLASS_HEADER(PointFCollection)
 public:
  static constexpr KsPropertyType::PropertyType kElementType = KsPropertyType::kPoint;
  KsPropertyType::PropertyType GetPropertyType() const override { return kElementType; }
};
HC_VALUE_COLLECTION_CLASS_OBJECT(PointFCollection)
