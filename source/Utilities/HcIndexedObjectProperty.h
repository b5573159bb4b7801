#pragma once

#include <functional>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "Utilities/HcTypedProperty.h"

// The descriptor of one element of an object collection C whose elements are
// Ts: it reads and writes the element at a fixed index through the
// collection's indexed operations. Made on demand for names such as "3",
// "+0" or "-2"; the collection's own operations announce the changes.
template <class C, class T>
class HcIndexedObjectProperty : public HcTypedProperty<KsRef<KsObject>> {
 public:
  using Getter = std::function<eAppErr(C&, uint32_t, KsRef<T>*)>;
  using Setter = std::function<eAppErr(C&, uint32_t, const KsRef<T>&)>;

  void SetupProperty(uint32_t index, const KsRef<KsClassObject>& exposingClass, int32_t propertyType,
                     const PWStringRef& name, Getter getter, Setter setter, const KsRef<KsClassObject>& typeClass) {
    if (!KsPropertyType::IsObjectType(propertyType)) {
      KS_TRACE(KsTrace::kUnexpected, "failed assertion `%s'", "KsPropertyType::IsObjectType(propertyType)");
    }
    Setup(HcProperty::kIndexed, false, exposingClass, -1, propertyType, name, false, typeClass);
    m_index = index;
    m_getter = std::move(getter);
    m_setter = std::move(setter);
  }

  uint32_t GetIndex() const { return m_index; }
  bool GetCanGet() const override { return static_cast<bool>(m_getter); }
  bool GetCanSet() const override { return static_cast<bool>(m_setter); }

 protected:
  eAppErr GetTyped(KsObject* target, KsRef<KsObject>* value) override {
    if (!m_getter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetValue");
    C* collection = dynamic_cast<C*>(target);
    if (!collection || !value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetValue");
    KsRef<T> element;
    const eAppErr err = m_getter(*collection, m_index, &element);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "GetValue");
    *value = element;
    return err;
  }

  eAppErr SetTyped(KsObject* target, const KsRef<KsObject>& value) override {
    if (!m_setter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetValue");
    C* collection = dynamic_cast<C*>(target);
    if (!collection) return KS_TRACE_ERR(AppErr::kBadArgument, "SetValue");
    KsRef<T> element = value.template DynamicCast<T>();
    if (value && !element) return KS_TRACE_ERR(AppErr::kTextNotConvertible, "SetValue");
    return m_setter(*collection, m_index, element);
  }

 private:
  uint32_t m_index = 0;
  Getter m_getter;
  Setter m_setter;
};
