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

class SampleCollection;

class Sample : public KsObject {
  HC_CLASS_HEADER(Sample)
 public:
#define SAMPLE_FIELD(Type, Name, Init)     \
  Type Get##Name() const { return m_##Name; } \
  eAppErr Set##Name(const Type& value) {   \
    m_##Name = value;                      \
    return AppErr::kNoErr;                 \
  }                                        \
                                           \
 private:                                  \
  Type m_##Name = Init;                    \
                                           \
 public:
  SAMPLE_FIELD(float, Float, 0)
  SAMPLE_FIELD(int32_t, Int, 0)
  SAMPLE_FIELD(uint32_t, UInt, 0)
  SAMPLE_FIELD(PWStringRef, Text, nullptr)
  SAMPLE_FIELD(bool, Flag, false)
  SAMPLE_FIELD(KsPointF, Point, {})
  SAMPLE_FIELD(KsSizeF, Size, {})
  SAMPLE_FIELD(KsRectF, Rect, {})
  SAMPLE_FIELD(KsColorF, Color, {})
  SAMPLE_FIELD(double, Double, 0)
  SAMPLE_FIELD(KsPropertyList, Plist, {})
  SAMPLE_FIELD(int64_t, Int64, 0)
#undef SAMPLE_FIELD

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
