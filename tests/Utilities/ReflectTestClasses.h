#pragma once

// Model classes the reflection suites bind, resolve, describe and proxy:
// a Sprocket has one property of each of the fourteen value types, an object
// property, a collection property and a read-only property.

#include <string>
#include <vector>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/KsSize.h"
#include "General/KsTypeSafeCollection.h"

class SprocketCollection;

// A plain field with a getter and a setter that announces its property id.
#define REFLECT_TEST_FIELD(Type, Name, Id, Initial)     \
 public:                                                \
  Type Get##Name() const { return m_##Name; }           \
  eAppErr Set##Name(Type const& value) {                \
    DidChangeCaller change(this, Id);                   \
    m_##Name = value;                                   \
    return AppErr::kNoErr;                              \
  }                                                     \
                                                        \
 private:                                               \
  Type m_##Name = Initial;

class Sprocket : public KsObject {
  HC_CLASS_HEADER(Sprocket)
  REFLECT_TEST_FIELD(float, Speed, 200, 0)
  REFLECT_TEST_FIELD(int32_t, Teeth, 201, 0)
  REFLECT_TEST_FIELD(uint32_t, Serial, 202, 0)
  REFLECT_TEST_FIELD(PWStringRef, Label, 203, {})
  REFLECT_TEST_FIELD(KsRef<Sprocket>, Partner, 204, {})
  REFLECT_TEST_FIELD(bool, Enabled, 205, false)
  REFLECT_TEST_FIELD(void*, Handle, 206, nullptr)
  REFLECT_TEST_FIELD(KsPointF, Origin, 207, {})
  REFLECT_TEST_FIELD(KsSizeF, Extent, 208, {})
  REFLECT_TEST_FIELD(KsRectF, Frame, 209, {})
  REFLECT_TEST_FIELD(KsColorF, Tint, 210, {})
  REFLECT_TEST_FIELD(double, Ratio, 211, 0)
  REFLECT_TEST_FIELD(KsPropertyList, Settings, 212, {})
  REFLECT_TEST_FIELD(int64_t, Ticks, 213, 0)
  REFLECT_TEST_FIELD(KsRef<SprocketCollection>, Parts, 214, {})

 public:
  // Read-only.
  PWStringRef GetModel() const { return "S-1"; }
};
HC_CLASS_OBJECT(Sprocket, KsObject)

// A Sprocket subclass (proxies of Sprocket accept it as a target).
class GearSprocket : public Sprocket {
  HC_CLASS_HEADER(GearSprocket)
  REFLECT_TEST_FIELD(int32_t, Ratchet, 300, 0)
};
HC_CLASS_OBJECT(GearSprocket, Sprocket)

class SprocketCollection : public KsTypeSafeCollection<Sprocket> {
  HC_CLASS_HEADER(SprocketCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(SprocketCollection)

// Remembers every notice it is told: the changed object and property name.
class NoticeRecorder : public KsObject {
  HC_CLASS_HEADER(NoticeRecorder)
 public:
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;
  std::vector<const KsObject*> objects;
  std::vector<std::string> names;
};
HC_CLASS_OBJECT(NoticeRecorder, KsObject)

// A sprocket with a collection of `parts` named "P0", "P1", …
KsRef<Sprocket> MakeSprocketWithParts(int parts);

#undef REFLECT_TEST_FIELD
