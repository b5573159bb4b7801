#pragma once

#include <functional>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "Utilities/HcTypedProperty.h"

// A property whose getter fills an out-parameter and answers an eAppErr
// (eAppErr C::Get(T*)), which GetValue passes on; the setter is as for
// HcPropertyDirectGet. Sets are announced to the property's observers.
template <class C, class T>
class HcPropertyAppErr : public HcTypedProperty<T> {
 public:
  using Getter = std::function<eAppErr(C&, T*)>;
  using Setter = std::function<eAppErr(C&, HcParam<T>)>;

  void SetupProperty(bool isCollectionProperty, const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                     int32_t propertyType, const PWStringRef& name, bool shouldSerialize, Getter getter,
                     Setter setter) {
    if (KsPropertyType::IsObjectType(propertyType)) {
      KS_TRACE(KsTrace::kUnexpected, "failed assertion `%s'", "!KsPropertyType::IsObjectType(propertyType)");
    }
    this->Setup(HcProperty::kAppErrGet, isCollectionProperty, exposingClass, propertyId, propertyType, name,
                shouldSerialize, KsRef<KsClassObject>());
    m_getter = std::move(getter);
    m_setter = std::move(setter);
  }

  template <class G, class S>
  static KsRef<HcProperty> Create(const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                                  int32_t propertyType, const char* name, bool shouldSerialize, G getter,
                                  S setter) {
    auto property = KsMakeRef<HcPropertyAppErr>();
    Getter boundGetter;
    Setter boundSetter;
    if constexpr (!std::is_null_pointer_v<G>) {
      boundGetter = [getter](C& object, T* value) -> eAppErr { return (object.*getter)(value); };
    }
    if constexpr (!std::is_null_pointer_v<S>) {
      boundSetter = [setter](C& object, HcParam<T> value) -> eAppErr { return (object.*setter)(value); };
    }
    property->SetupProperty(false, exposingClass, propertyId, propertyType, name, shouldSerialize,
                            std::move(boundGetter), std::move(boundSetter));
    return property;
  }

  bool GetCanGet() const override { return static_cast<bool>(m_getter); }
  bool GetCanSet() const override { return static_cast<bool>(m_setter); }

 protected:
  eAppErr GetTyped(KsObject* target, T* value) override {
    if (!m_getter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetValue");
    C* object = dynamic_cast<C*>(target);
    if (!object || !value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetValue");
    return m_getter(*object, value);
  }

  eAppErr SetTyped(KsObject* target, HcParam<T> value) override {
    if (!m_setter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetValue");
    C* object = dynamic_cast<C*>(target);
    if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "SetValue");
    DidChangeCaller change(object, this->GetPropertyID());
    return m_setter(*object, value);
  }

 private:
  Getter m_getter;
  Setter m_setter;
};
