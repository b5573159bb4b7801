#pragma once

// The model class the stream fuzz targets read documents into, and their
// seed writer writes: values of every kind, a child, a collection.

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/ObjectCollection.h"

class StreamFuzzNode : public KsObject {
  HC_CLASS_HEADER(StreamFuzzNode)
 public:
#define FUZZ_FIELD(Type, Name)              \
  Type Get##Name() const { return m_##Name; } \
  eAppErr Set##Name(const Type& value) {    \
    m_##Name = value;                       \
    return AppErr::kNoErr;                  \
  }                                         \
                                            \
 private:                                   \
  Type m_##Name{};                          \
                                            \
 public:
  FUZZ_FIELD(float, Width)
  FUZZ_FIELD(int32_t, Count)
  FUZZ_FIELD(uint32_t, Serial)
  FUZZ_FIELD(PWStringRef, Label)
  FUZZ_FIELD(bool, Enabled)
  FUZZ_FIELD(KsRectF, Frame)
  FUZZ_FIELD(KsColorF, Tint)
  FUZZ_FIELD(double, Ratio)
  FUZZ_FIELD(KsPropertyList, Plist)
  FUZZ_FIELD(int64_t, Big)
  FUZZ_FIELD(KsRef<StreamFuzzNode>, Child)
  FUZZ_FIELD(KsRef<ObjectCollection>, Items)
#undef FUZZ_FIELD

  // Documents may refer back to any object they hold: the graph is let go
  // of by hand.
  void Unlink();
};
HC_CLASS_OBJECT(StreamFuzzNode, KsObject)

// Puts the node class and the stream classes into the class map.
void RegisterStreamFuzzClasses();
