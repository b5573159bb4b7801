#pragma once

#include <functional>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "Utilities/HcTypedProperty.h"

// The descriptor of one element of a value collection C whose elements are
// Ts (numbers, points or strings): it reads and writes the element at a
// fixed index through the collection's indexed operations. Made on demand
// for action names and for wrapped element access; it announces nothing.
template <class C, class T>
class HcIndexedSimpleProperty : public HcTypedProperty<T> {
 public:
  using Getter = std::function<eAppErr(C&, uint32_t, T*)>;
  using Setter = std::function<eAppErr(C&, uint32_t, HcParam<T>)>;

  void SetupProperty(uint32_t index, const KsRef<KsClassObject>& exposingClass, int32_t propertyType,
                     const PWStringRef& name, Getter getter, Setter setter) {
    if (KsPropertyType::IsObjectType(propertyType)) {
      KS_TRACE(KsTrace::kUnexpected, "failed assertion `%s'", "!KsPropertyType::IsObjectType(propertyType)");
    }
    this->Setup(HcProperty::kIndexed, false, exposingClass, -1, propertyType, name, false, KsRef<KsClassObject>());
    m_index = index;
    m_getter = std::move(getter);
    m_setter = std::move(setter);
  }

  uint32_t GetIndex() const { return m_index; }
  bool GetCanGet() const override { return static_cast<bool>(m_getter); }
  bool GetCanSet() const override { return static_cast<bool>(m_setter); }

 protected:
  eAppErr GetTyped(KsObject* target, T* value) override {
    if (!m_getter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetValue");
    C* collection = dynamic_cast<C*>(target);
    if (!collection || !value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetValue");
    return m_getter(*collection, m_index, value);
  }

  eAppErr SetTyped(KsObject* target, HcParam<T> value) override {
    if (!m_setter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetValue");
    C* collection = dynamic_cast<C*>(target);
    if (!collection) return KS_TRACE_ERR(AppErr::kBadArgument, "SetValue");
    return m_setter(*collection, m_index, value);
  }

 private:
  uint32_t m_index = 0;
  Getter m_getter;
  Setter m_setter;
};
