#pragma once

#include <cstdint>

#include "General/KsObject.h"
#include "General/KsPoint.h"

// What the vector-object responders need of the overlay view whose vector
// objects they make clickable (the vector view implements it): hit tests of
// its objects, in its own coordinates, and its objects by index.
class VectorObjectHost {
 public:
  virtual ~VectorObjectHost() = default;

  static VectorObjectHost* Of(KsObject* object) { return dynamic_cast<VectorObjectHost*>(object); }

  // The topmost object (the last drawn) that contains the point, or none.
  virtual KsRef<KsObject> GetObjectAtPoint(const KsPointF& point) = 0;
  virtual bool ObjectContainsPoint(const KsRef<KsObject>& object, const KsPointF& point) = 0;
  // False when there is no object at the index.
  virtual bool ObjectAtIndexContainsPoint(uint32_t index, const KsPointF& point) = 0;
  // The object at the index, or none.
  virtual KsRef<KsObject> GetVectorObjectAt(uint32_t index) = 0;
};
