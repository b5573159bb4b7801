#pragma once

#include <functional>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "Utilities/HcTypedProperty.h"

// A property read by a getter that returns the value (T C::Get()) and written
// by a setter that answers an eAppErr (eAppErr C::Set(T)); either may be
// absent. Sets are announced to the property's observers.
template <class C, class T>
class HcPropertyDirectGet : public HcTypedProperty<T> {
 public:
  using Getter = std::function<T(C&)>;
  using Setter = std::function<eAppErr(C&, HcParam<T>)>;

  void SetupProperty(bool isCollectionProperty, const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                     int32_t propertyType, const PWStringRef& name, bool shouldSerialize, Getter getter,
                     Setter setter) {
    if (KsPropertyType::IsObjectType(propertyType)) {
      KS_TRACE(KsTrace::kUnexpected, "failed assertion `%s'", "!KsPropertyType::IsObjectType(propertyType)");
    }
    this->Setup(HcProperty::kDirectGet, isCollectionProperty, exposingClass, propertyId, propertyType, name,
                shouldSerialize, KsRef<KsClassObject>());
    m_getter = std::move(getter);
    m_setter = std::move(setter);
  }

  // Makes a descriptor over member functions (or nullptr for none).
  template <class G, class S>
  static KsRef<HcProperty> Create(const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                                  int32_t propertyType, const char* name, bool shouldSerialize, G getter,
                                  S setter, bool isCollectionProperty = false) {
    auto property = KsMakeRef<HcPropertyDirectGet>();
    property->SetupProperty(isCollectionProperty, exposingClass, propertyId, propertyType, name, shouldSerialize,
                            BindGetter(getter), BindSetter(setter));
    return property;
  }

  bool GetCanGet() const override { return static_cast<bool>(m_getter); }
  bool GetCanSet() const override { return static_cast<bool>(m_setter); }

 protected:
  eAppErr GetTyped(KsObject* target, T* value) override {
    if (!m_getter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetValue");
    C* object = dynamic_cast<C*>(target);
    if (!object || !value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetValue");
    *value = m_getter(*object);
    return AppErr::kNoErr;
  }

  eAppErr SetTyped(KsObject* target, HcParam<T> value) override {
    if (!m_setter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetValue");
    C* object = dynamic_cast<C*>(target);
    if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "SetValue");
    DidChangeCaller change(object, this->GetPropertyID());
    return m_setter(*object, value);
  }

 private:
  template <class G>
  static Getter BindGetter(G getter) {
    if constexpr (std::is_null_pointer_v<G>) {
      return {};
    } else {
      return [getter](C& object) -> T { return (object.*getter)(); };
    }
  }
  template <class S>
  static Setter BindSetter(S setter) {
    if constexpr (std::is_null_pointer_v<S>) {
      return {};
    } else {
      return [setter](C& object, HcParam<T> value) -> eAppErr { return (object.*setter)(value); };
    }
  }

  Getter m_getter;
  Setter m_setter;
};
