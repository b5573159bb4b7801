#pragma once

#include "Utilities/PropertyTraverser.h"

class KsClassObject;

// Relays a traversal of a proxy's target to the traverser that traverses the
// proxy: each value arrives under the proxy class's descriptor of the same
// name, with the proxy as the object and the index unchanged.
class DelegatingTraverser : public PropertyTraverser {
 public:
  void SetProxyClassObject(const KsRef<KsClassObject>& proxyClass) { m_proxyClass = proxyClass; }
  void SetProxyTraverser(const KsRef<PropertyTraverser>& traverser) { m_traverser = traverser; }
  void SetProxyObject(const KsRef<KsObject>& proxy) { m_proxy = proxy; }

  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, float value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, uint32_t value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, int32_t value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, bool value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const PWStringRef& value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index,
                          const KsRef<KsObject>& value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsRectF& value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsPointF& value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsSizeF& value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsColorF& value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, double value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index,
                          const KsPropertyList& value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, void* value) override;
  eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, int64_t value) override;

 private:
  template <class Value>
  eAppErr Relay(HcProperty* property, int32_t index, const Value& value);

  KsRef<KsClassObject> m_proxyClass;
  KsRef<PropertyTraverser> m_traverser;
  KsRef<KsObject> m_proxy;
};
