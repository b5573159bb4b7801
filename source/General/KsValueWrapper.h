#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsPoint.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/KsSize.h"
#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "PWString.h"

class HcProperty;

// A box holding one value of any property kind together with the kind's code
// (a KsPropertyType code, -1 while empty). Lets code that only knows a
// property descriptor move a value without knowing its static type.
//
// Getters answer the held value when the wrapper holds their kind and the
// kind's zero value otherwise; they never convert. Every setter announces a
// change of "ValueType" and then of its own value property.
class KsValueWrapper : public KsObject {
  HC_CLASS_HEADER(KsValueWrapper)
 public:
  // Property ids.
  enum : int32_t {
    kValueTypeId = 200,
    kBooleanValueId = 201,
    kIntValueId = 202,
    kUIntValueId = 203,
    kInt64ValueId = 204,
    kFloatValueId = 205,
    kDoubleValueId = 206,
    kStringValueId = 207,
    kPointerValueId = 208,
    kCFTypeValueId = 209,
    kPointFValueId = 210,
    kSizeFValueId = 211,
    kRectFValueId = 212,
    kColorFValueId = 213,
    kKsObjectValueId = 214,
  };

  KsValueWrapper();
  ~KsValueWrapper() override;

  int32_t GetValueType() const { return m_kind; }
  // Changes only the kind code. References (string, property-list value) and
  // pointers are never made from the bits of another kind: changing the kind
  // drops a held reference and clears the slot when the new kind would read
  // it as a reference or a pointer.
  eAppErr SetValueType(int32_t kind);

  float GetFloatValue() const;
  int32_t GetIntValue() const;
  uint32_t GetUIntValue() const;
  PWStringRef CopyString() const;
  KsRef<KsObject> GetKsObjectValue() const;
  bool GetBooleanValue() const;
  void* GetPointerValue() const;
  KsPointF GetPointFValue() const;
  KsSizeF GetSizeFValue() const;
  KsRectF GetRectFValue() const;
  KsColorF GetColorFValue() const;
  double GetDoubleValue() const;
  KsPropertyList CopyCFType() const;
  int64_t GetInt64Value() const;

  eAppErr SetFloatValue(float value);
  eAppErr SetIntValue(int32_t value);
  eAppErr SetUIntValue(uint32_t value);
  eAppErr SetStringValue(const PWStringRef& value);
  // Setting the object already held changes no count (both notices still go out).
  eAppErr SetKsObjectValue(const KsRef<KsObject>& value);
  eAppErr SetBooleanValue(bool value);
  // The pointer is not owned.
  eAppErr SetPointerValue(void* value);
  eAppErr SetPointFValue(const KsPointF& value);
  eAppErr SetSizeFValue(const KsSizeF& value);
  eAppErr SetRectFValue(const KsRectF& value);
  eAppErr SetColorFValue(const KsColorF& value);
  eAppErr SetDoubleValue(double value);
  eAppErr SetCFTypeValue(const KsPropertyList& value);
  eAppErr SetInt64Value(int64_t value);

  // A new wrapper holding the object's property value in the descriptor's
  // kind (its zero value when the read fails); an empty wrapper when the
  // descriptor's type is unknown.
  static KsRef<KsValueWrapper> CreateFromProperty(const KsRef<HcProperty>& property, const KsRef<KsObject>& object);

  // Writes the held value into the object's property and answers the
  // descriptor's result. A value of another numeric kind (float, int,
  // unsigned int, double, 64-bit int) is converted to the property's type,
  // rounding to the nearest integer where needed; one that the type cannot
  // hold answers -901. Any other kind mismatch, an empty wrapper included,
  // answers -102. Nothing is written on failure; an unknown property type
  // answers 0 and writes nothing.
  eAppErr ApplyToProperty(const KsRef<HcProperty>& property, const KsRef<KsObject>& object) const;

 private:
  template <class T>
  T ReadSlot() const;
  template <class T>
  void WriteSlot(T value);
  template <class T>
  eAppErr ApplyNumber(HcProperty* property, KsObject* object) const;
  eAppErr ApplyConverted(HcProperty* property, KsObject* object) const;

  int32_t m_kind = -1;
  // The scalar kinds share one 64-bit slot, as one value is held at a time.
  uint64_t m_slot = 0;
  PWStringRef m_string;
  KsPropertyList m_plist;
  KsRectF m_rect;
  KsColorF m_color;
  // Kept after another kind is set, until replaced or the wrapper dies;
  // visible only while the kind is the object kind.
  KsRef<KsObject> m_object;
};
HC_CLASS_OBJECT(KsValueWrapper, KsObject)
