#pragma once

#include <cstdint>

#include "General/KsColor.h"
#include "General/KsPoint.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/KsSize.h"
#include "General/RefTempl.h"
#include "General/WeakRef.h"
#include "KsAppErr.h"
#include "PWString.h"
#include "Utilities/KsPropertyType.h"

class KsObject;
class KsClassObject;

// The descriptor of one property of a class: id, name, value type, flags and
// typed access on any target object. Shared by all instances of the class and
// never changed after set-up. Each concrete descriptor overrides the pair of
// its own value type; every other typed operation answers -102.
class HcProperty : public KsBaseObject {
 public:
  using Ref = RefTemplAbstract<KsBaseObject, HcProperty>;

  enum AccessorKind : int32_t { kDirectGet = 0, kAppErrGet = 1, kIndexed = 2 };

  HcProperty();
  ~HcProperty() override = default;

  void Setup(int32_t accessorKind, bool isCollectionProperty, const KsRef<KsClassObject>& exposingClass,
             int32_t propertyId, int32_t propertyType, const PWStringRef& name, bool shouldSerialize,
             const KsRef<KsClassObject>& typeClass);

  int32_t GetPropertyID() const { return m_propertyId; }
  int32_t GetAccessorKind() const { return m_accessorKind; }
  int32_t GetPropertyType() const { return m_propertyType; }
  bool GetShouldSerialize() const { return m_shouldSerialize; }
  bool GetIsCollectionProperty() const { return m_isCollectionProperty; }
  PWStringRef CopyName() const { return m_name; }
  const PWStringRef& GetName() const { return m_name; }
  KsRef<KsClassObject> GetPropertyTypeClass() const;
  KsRef<KsClassObject> GetExposingClass() const;
  // "float", "int", … or, for object properties, the type class's
  // implementation name; "UNKNOWN" for a descriptor never set up.
  PWStringRef GetSchemaTypeName() const;

  virtual eAppErr SetValue(KsObject* target, float value);
  virtual eAppErr GetValue(KsObject* target, float* value);
  virtual eAppErr SetValue(KsObject* target, double value);
  virtual eAppErr GetValue(KsObject* target, double* value);
  virtual eAppErr SetValue(KsObject* target, uint32_t value);
  virtual eAppErr GetValue(KsObject* target, uint32_t* value);
  virtual eAppErr SetValue(KsObject* target, int64_t value);
  virtual eAppErr GetValue(KsObject* target, int64_t* value);
  virtual eAppErr SetValue(KsObject* target, const KsRef<KsObject>& value);
  virtual eAppErr GetValue(KsObject* target, KsRef<KsObject>* value);
  virtual eAppErr SetValue(KsObject* target, bool value);
  virtual eAppErr GetValue(KsObject* target, bool* value);
  virtual eAppErr SetValue(KsObject* target, int32_t value);
  virtual eAppErr GetValue(KsObject* target, int32_t* value);
  // A string property stores the text; every other type converts it.
  virtual eAppErr SetValue(KsObject* target, const PWStringRef& value);
  virtual eAppErr GetValue(KsObject* target, PWStringRef* value);
  virtual eAppErr SetValue(KsObject* target, void* value);
  virtual eAppErr GetValue(KsObject* target, void** value);
  virtual eAppErr SetValue(KsObject* target, const KsRectF& value);
  virtual eAppErr GetValue(KsObject* target, KsRectF* value);
  virtual eAppErr SetValue(KsObject* target, const KsSizeF& value);
  virtual eAppErr GetValue(KsObject* target, KsSizeF* value);
  virtual eAppErr SetValue(KsObject* target, const KsPointF& value);
  virtual eAppErr GetValue(KsObject* target, KsPointF* value);
  virtual eAppErr SetValue(KsObject* target, const KsColorF& value);
  virtual eAppErr GetValue(KsObject* target, KsColorF* value);
  virtual eAppErr SetValue(KsObject* target, const KsPropertyList& value);
  virtual eAppErr GetValue(KsObject* target, KsPropertyList* value);

  // Text without the detour through a string object; never taken as a bool.
  eAppErr SetValue(KsObject* target, const char* text) { return SetValue(target, PWStringRef(text)); }
  // Converts text into the descriptor's own type and sets it (the typed
  // setter's own result is not passed on).
  eAppErr SetValueFromText(KsObject* target, const PWStringRef& text);

  virtual bool GetCanGet() const = 0;
  virtual bool GetCanSet() const = 0;

 protected:
  static eAppErr Unsupported(const char* method);

 private:
  int32_t m_propertyId = 0;
  int32_t m_accessorKind = kIndexed;
  int32_t m_propertyType = KsPropertyType::kNone;
  PWStringRef m_name;
  WeakRef::Ref m_typeClass;
  WeakRef::Ref m_exposingClass;
  bool m_shouldSerialize = false;
  bool m_isCollectionProperty = false;
};

// Text parsers of the property types, in the C locale whatever the process
// locale: 0, or -901 for text that does not match the form or is out of range.
eAppErr ParseFloat(const PWStringRef& text, float* value);
eAppErr ParseDouble(const PWStringRef& text, double* value);
eAppErr ParseInt(const PWStringRef& text, int32_t* value);
eAppErr ParseUInt(const PWStringRef& text, uint32_t* value);
eAppErr ParseInt64(const PWStringRef& text, int64_t* value);
eAppErr ParseBoolean(const PWStringRef& text, bool* value);
eAppErr ParsePointF(const PWStringRef& text, KsPointF* value);
eAppErr ParseSizeF(const PWStringRef& text, KsSizeF* value);
eAppErr ParseRectF(const PWStringRef& text, KsRectF* value);
eAppErr ParseColorF(const PWStringRef& text, KsColorF* value);
// An XML property list; text that does not parse gives a null value (the
// parser's message goes to the console) and still answers 0.
eAppErr ParsePropertyList(const PWStringRef& text, KsPropertyList* value);
