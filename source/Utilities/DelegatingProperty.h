#pragma once

#include "Utilities/HcProperty.h"

// The descriptor of a proxy class that forwards every typed read and write,
// of all fourteen value types, to the same property of the proxy's current
// target. It carries the target property's id, type, name, type class and
// collection flag, is never serialised, and is exposed by the proxy class.
class DelegatingProperty : public HcProperty {
 public:
  using Ref = KsRef<DelegatingProperty>;

  void SetupProperty(const KsRef<HcProperty>& targetProperty, const KsRef<KsClassObject>& proxyClass);
  void SetTargetProperty(const KsRef<HcProperty>& targetProperty) { m_targetProperty = targetProperty; }
  const KsRef<HcProperty>& GetTargetProperty() const { return m_targetProperty; }

  eAppErr SetValue(KsObject* target, float value) override;
  eAppErr GetValue(KsObject* target, float* value) override;
  eAppErr SetValue(KsObject* target, double value) override;
  eAppErr GetValue(KsObject* target, double* value) override;
  eAppErr SetValue(KsObject* target, uint32_t value) override;
  eAppErr GetValue(KsObject* target, uint32_t* value) override;
  eAppErr SetValue(KsObject* target, int64_t value) override;
  eAppErr GetValue(KsObject* target, int64_t* value) override;
  eAppErr SetValue(KsObject* target, const KsRef<KsObject>& value) override;
  eAppErr GetValue(KsObject* target, KsRef<KsObject>* value) override;
  eAppErr SetValue(KsObject* target, bool value) override;
  eAppErr GetValue(KsObject* target, bool* value) override;
  eAppErr SetValue(KsObject* target, int32_t value) override;
  eAppErr GetValue(KsObject* target, int32_t* value) override;
  eAppErr SetValue(KsObject* target, const PWStringRef& value) override;
  eAppErr GetValue(KsObject* target, PWStringRef* value) override;
  eAppErr SetValue(KsObject* target, void* value) override;
  eAppErr GetValue(KsObject* target, void** value) override;
  eAppErr SetValue(KsObject* target, const KsRectF& value) override;
  eAppErr GetValue(KsObject* target, KsRectF* value) override;
  eAppErr SetValue(KsObject* target, const KsSizeF& value) override;
  eAppErr GetValue(KsObject* target, KsSizeF* value) override;
  eAppErr SetValue(KsObject* target, const KsPointF& value) override;
  eAppErr GetValue(KsObject* target, KsPointF* value) override;
  eAppErr SetValue(KsObject* target, const KsColorF& value) override;
  eAppErr GetValue(KsObject* target, KsColorF* value) override;
  eAppErr SetValue(KsObject* target, const KsPropertyList& value) override;
  eAppErr GetValue(KsObject* target, KsPropertyList* value) override;
  using HcProperty::SetValue;

  bool GetCanGet() const override;
  bool GetCanSet() const override;

 private:
  template <bool IsSet, class Value>
  eAppErr Forward(KsObject* proxy, const char* method, Value value);

  KsRef<HcProperty> m_targetProperty;
};
