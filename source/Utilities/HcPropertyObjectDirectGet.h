#pragma once

#include <functional>

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "Utilities/HcTypedProperty.h"

// An object-valued property (type 5) whose value class is T: the getter
// returns a counted reference to a T, the setter takes one (a null value
// clears the property). Sets are announced to the property's observers.
template <class C, class T>
class HcPropertyObjectDirectGet : public HcTypedProperty<KsRef<KsObject>> {
 public:
  using Getter = std::function<KsRef<T>(C&)>;
  using Setter = std::function<eAppErr(C&, const KsRef<T>&)>;

  template <class G, class S>
  static KsRef<HcProperty> Create(const KsRef<KsClassObject>& exposingClass, int32_t propertyId, const char* name,
                                  bool shouldSerialize, G getter, S setter, bool isCollectionProperty = false) {
    auto property = KsMakeRef<HcPropertyObjectDirectGet>();
    property->Setup(HcProperty::kDirectGet, isCollectionProperty, exposingClass, propertyId,
                    KsPropertyType::kObject, name, shouldSerialize, T::ClassGetClassObject());
    if constexpr (!std::is_null_pointer_v<G>) {
      property->m_getter = [getter](C& object) -> KsRef<T> { return KsRef<T>((object.*getter)()); };
    }
    if constexpr (!std::is_null_pointer_v<S>) {
      property->m_setter = [setter](C& object, const KsRef<T>& value) -> eAppErr { return (object.*setter)(value); };
    }
    return property;
  }

  bool GetCanGet() const override { return static_cast<bool>(m_getter); }
  bool GetCanSet() const override { return static_cast<bool>(m_setter); }

 protected:
  eAppErr GetTyped(KsObject* target, KsRef<KsObject>* value) override {
    if (!m_getter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetValue");
    C* object = dynamic_cast<C*>(target);
    if (!object || !value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetValue");
    *value = m_getter(*object);
    return AppErr::kNoErr;
  }

  eAppErr SetTyped(KsObject* target, const KsRef<KsObject>& value) override {
    if (!m_setter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "SetValue");
    C* object = dynamic_cast<C*>(target);
    if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "SetValue");
    KsRef<T> typed = value.template DynamicCast<T>();
    if (value && !typed) return KS_TRACE_ERR(AppErr::kBadArgument, "SetValue");
    DidChangeCaller change(object, this->GetPropertyID());
    return m_setter(*object, typed);
  }

 private:
  Getter m_getter;
  Setter m_setter;
};
