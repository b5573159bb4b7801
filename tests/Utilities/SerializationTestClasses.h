#pragma once

// Model classes the serialization suites write and read: one property of
// each value type, object properties, a collection, a read-only property and
// a setter that refuses values.

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/KsSize.h"
#include "General/KsTypeSafeCollection.h"
#include "tests/Support/NodeField.h"

class SampleCollection;

class Sample : public KsObject {
  HC_CLASS_HEADER(Sample)
 public:
  HC_NODE_FIELD(float, Float)
  HC_NODE_FIELD(int32_t, Int)
  HC_NODE_FIELD(uint32_t, UInt)
  HC_NODE_FIELD(PWStringRef, Text)
  HC_NODE_FIELD(bool, Flag)
  HC_NODE_FIELD(KsPointF, Point)
  HC_NODE_FIELD(KsSizeF, Size)
  HC_NODE_FIELD(KsRectF, Rect)
  HC_NODE_FIELD(KsColorF, Color)
  HC_NODE_FIELD(double, Double)
  HC_NODE_FIELD(KsPropertyList, Plist)
  HC_NODE_FIELD(int64_t, Int64)

  void* GetPointer() const { return m_pointer; }
  eAppErr SetPointer(void* pointer) {
    m_pointer = pointer;
    return AppErr::kNoErr;
  }
  KsRef<Sample> GetChild() const { return m_child; }
  eAppErr SetChild(const KsRef<Sample>& child) {
    m_child = child;
    return AppErr::kNoErr;
  }
  KsRef<Sample> GetOther() const { return m_other; }
  eAppErr SetOther(const KsRef<Sample>& other) {
    m_other = other;
    return AppErr::kNoErr;
  }
  KsRef<SampleCollection> GetParts() const;
  eAppErr SetParts(const KsRef<SampleCollection>& parts);
  // Read-only and never written.
  uint32_t GetSerial() const { return 42; }
  // Refuses negative values (-901), as a setter checking its range does.
  int32_t GetLimited() const { return m_limited; }
  eAppErr SetLimited(int32_t value) {
    if (value < 0) return AppErr::kOutOfRange;
    m_limited = value;
    return AppErr::kNoErr;
  }

 private:
  void* m_pointer = nullptr;
  KsRef<Sample> m_child;
  KsRef<Sample> m_other;
  KsRef<SampleCollection> m_parts;
  int32_t m_limited = 0;
};
HC_CLASS_OBJECT(Sample, KsObject)

class SampleCollection : public KsTypeSafeCollection<Sample> {
  HC_CLASS_HEADER(SampleCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(SampleCollection)

// Makes sure the classes are in the class map (idempotent).
void RegisterSerializationTestClasses();
