#pragma once

#include "Utilities/HcMemberProperty.h"

// A property read by a getter that returns the value (T C::Get()) and written
// by a setter that answers an eAppErr (eAppErr C::Set(T)); either may be
// absent. Sets are announced to the property's observers.
template <class C, class T>
class HcPropertyDirectGet : public HcMemberProperty<C, T> {
  using Base = HcMemberProperty<C, T>;

 public:
  using Getter = std::function<T(C&)>;
  using Setter = typename Base::Setter;

  void SetupProperty(bool isCollectionProperty, const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                     int32_t propertyType, const PWStringRef& name, bool shouldSerialize, Getter getter,
                     Setter setter) {
    this->SetupMember(HcProperty::kDirectGet, isCollectionProperty, exposingClass, propertyId, propertyType, name,
                      shouldSerialize, std::move(setter));
    m_getter = std::move(getter);
  }

  // Makes a descriptor over member functions (or nullptr for none).
  template <class G, class S>
  static KsRef<HcProperty> Create(const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                                  int32_t propertyType, const char* name, bool shouldSerialize, G getter,
                                  S setter, bool isCollectionProperty = false) {
    auto property = KsMakeRef<HcPropertyDirectGet>();
    Getter boundGetter;
    if constexpr (!std::is_null_pointer_v<G>) {
      boundGetter = [getter](C& object) -> T { return (object.*getter)(); };
    }
    property->SetupProperty(isCollectionProperty, exposingClass, propertyId, propertyType, name, shouldSerialize,
                            std::move(boundGetter), Base::BindSetter(setter));
    return property;
  }

  bool GetCanGet() const override { return static_cast<bool>(m_getter); }

 protected:
  eAppErr GetTyped(KsObject* target, T* value) override {
    if (!m_getter) return KS_TRACE_ERR(AppErr::kUnsupportedType, "GetValue");
    C* object = Base::TargetOf(target, "GetValue");
    if (!object) return AppErr::kBadArgument;
    if (!value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetValue");
    *value = m_getter(*object);
    return AppErr::kNoErr;
  }

 private:
  Getter m_getter;
};
