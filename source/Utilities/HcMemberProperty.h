#pragma once

#include <functional>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "Utilities/HcTypedProperty.h"

// What the value-typed accessor descriptors share: a setter member of C that
// answers an eAppErr (eAppErr C::Set(T)), or none, called inside a change
// notice on the property's id. The getter's shape is the subclass's.
template <class C, class T>
class HcMemberProperty : public HcTypedProperty<T> {
 public:
  using Setter = std::function<eAppErr(C&, HcParam<T>)>;

  bool GetCanSet() const override { return static_cast<bool>(m_setter); }

 protected:
  void SetupMember(int32_t accessorKind, bool isCollectionProperty, const KsRef<KsClassObject>& exposingClass,
                   int32_t propertyId, int32_t propertyType, const PWStringRef& name, bool shouldSerialize,
                   Setter setter) {
    if (KsPropertyType::IsObjectType(propertyType)) {
      KS_TRACE(KsTrace::kUnexpected, "failed assertion `%s'", "!KsPropertyType::IsObjectType(propertyType)");
    }
    this->Setup(accessorKind, isCollectionProperty, exposingClass, propertyId, propertyType, name, shouldSerialize,
                KsRef<KsClassObject>());
    m_setter = std::move(setter);
  }

  template <class S>
  static Setter BindSetter(S setter) {
    if constexpr (std::is_null_pointer_v<S>) {
      return {};
    } else {
      return [setter](C& object, HcParam<T> value) -> eAppErr { return (object.*setter)(value); };
    }
  }

  // The target as a C, or null (traced) when it is none.
  static C* TargetOf(KsObject* target, const char* method) {
    C* object = dynamic_cast<C*>(target);
    if (!object) KS_TRACE_ERR(AppErr::kBadArgument, method);
    return object;
  }

  eAppErr SetTyped(KsObject* target, HcParam<T> value) override {
    if (!m_setter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetValue");
    C* object = TargetOf(target, "SetValue");
    if (!object) return AppErr::kBadArgument;
    DidChangeCaller change(object, this->GetPropertyID());
    return m_setter(*object, value);
  }

 private:
  Setter m_setter;
};
