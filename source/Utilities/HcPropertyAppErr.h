#pragma once

#include "Utilities/HcMemberProperty.h"

// A property whose getter fills an out-parameter and answers an eAppErr
// (eAppErr C::Get(T*)), which GetValue passes on; the setter is as for
// HcPropertyDirectGet. Sets are announced to the property's observers.
template <class C, class T>
class HcPropertyAppErr : public HcMemberProperty<C, T> {
  using Base = HcMemberProperty<C, T>;

 public:
  using Getter = std::function<eAppErr(C&, T*)>;
  using Setter = typename Base::Setter;

  void SetupProperty(bool isCollectionProperty, const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                     int32_t propertyType, const PWStringRef& name, bool shouldSerialize, Getter getter,
                     Setter setter) {
    this->SetupMember(HcProperty::kAppErrGet, isCollectionProperty, exposingClass, propertyId, propertyType, name,
                      shouldSerialize, std::move(setter));
    m_getter = std::move(getter);
  }

  template <class G, class S>
  static KsRef<HcProperty> Create(const KsRef<KsClassObject>& exposingClass, int32_t propertyId,
                                  int32_t propertyType, const char* name, bool shouldSerialize, G getter,
                                  S setter) {
    auto property = KsMakeRef<HcPropertyAppErr>();
    Getter boundGetter;
    if constexpr (!std::is_null_pointer_v<G>) {
      boundGetter = [getter](C& object, T* value) -> eAppErr { return (object.*getter)(value); };
    }
    property->SetupProperty(false, exposingClass, propertyId, propertyType, name, shouldSerialize,
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
    return m_getter(*object, value);
  }

 private:
  Getter m_getter;
};
