#include "Utilities/DelegatingTraverser.h"

#include "General/KsClassObject.h"
#include "General/KsObject.h"
#include "Utilities/HcProperty.h"

template <class Value>
eAppErr DelegatingTraverser::Relay(HcProperty* property, int32_t index, const Value& value) {
  if (!property || !m_proxyClass || !m_traverser) return AppErr::kNoErr;
  KsRef<HcProperty> proxyProperty = m_proxyClass->FindProperty(property->GetName());
  if (!proxyProperty) return AppErr::kNoErr;
  return m_traverser->OnPropertyValue(m_proxy.Get(), proxyProperty.Get(), index, value);
}

#define HC_RELAY(ValueType)                                                                                    \
  eAppErr DelegatingTraverser::OnPropertyValue(KsObject*, HcProperty* property, int32_t index, ValueType value) { \
    return Relay(property, index, value);                                                                       \
  }

HC_RELAY(float)
HC_RELAY(uint32_t)
HC_RELAY(int32_t)
HC_RELAY(bool)
HC_RELAY(const PWStringRef&)
HC_RELAY(const KsRef<KsObject>&)
HC_RELAY(const KsRectF&)
HC_RELAY(const KsPointF&)
HC_RELAY(const KsSizeF&)
HC_RELAY(const KsColorF&)
HC_RELAY(double)
HC_RELAY(const KsPropertyList&)
HC_RELAY(void*)
HC_RELAY(int64_t)
#undef HC_RELAY
