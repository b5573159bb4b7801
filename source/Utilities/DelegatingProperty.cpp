#include "Utilities/DelegatingProperty.h"

#include "General/KsClassObject.h"
#include "KsTrace.h"
#include "Utilities/PropertyProxy.h"

void DelegatingProperty::SetupProperty(const KsRef<HcProperty>& targetProperty,
                                       const KsRef<KsClassObject>& proxyClass) {
  m_targetProperty = targetProperty;
  if (!targetProperty) return;
  Setup(targetProperty->GetAccessorKind(), targetProperty->GetIsCollectionProperty(), proxyClass,
        targetProperty->GetPropertyID(), targetProperty->GetPropertyType(), targetProperty->GetName(), false,
        targetProperty->GetPropertyTypeClass());
}

template <bool IsSet, class Value>
eAppErr DelegatingProperty::Forward(KsObject* proxy, const char* method, Value value) {
  auto* typedProxy = dynamic_cast<PropertyProxy*>(proxy);
  if (!typedProxy || !m_targetProperty) return KS_TRACE_ERR(AppErr::kBadArgument, method);
  KsRef<KsObject> target = typedProxy->GetResolvedTarget();
  if (!target) return KS_TRACE_ERR(AppErr::kBadArgument, method);
  if constexpr (IsSet) {
    return m_targetProperty->SetValue(target.Get(), value);
  } else {
    return m_targetProperty->GetValue(target.Get(), value);
  }
}

// Every value type forwards, get and set alike.
#define HC_DELEGATE_PAIR(SetType, GetType)                                                                     \
  eAppErr DelegatingProperty::SetValue(KsObject* target, SetType value) {                                      \
    return Forward<true, SetType>(target, "SetValue", value);                                                   \
  }                                                                                                             \
  eAppErr DelegatingProperty::GetValue(KsObject* target, GetType value) {                                      \
    return Forward<false, GetType>(target, "GetValue", value);                                                  \
  }

HC_DELEGATE_PAIR(float, float*)
HC_DELEGATE_PAIR(double, double*)
HC_DELEGATE_PAIR(uint32_t, uint32_t*)
HC_DELEGATE_PAIR(int64_t, int64_t*)
HC_DELEGATE_PAIR(const KsRef<KsObject>&, KsRef<KsObject>*)
HC_DELEGATE_PAIR(bool, bool*)
HC_DELEGATE_PAIR(int32_t, int32_t*)
HC_DELEGATE_PAIR(const PWStringRef&, PWStringRef*)
HC_DELEGATE_PAIR(void*, void**)
HC_DELEGATE_PAIR(const KsRectF&, KsRectF*)
HC_DELEGATE_PAIR(const KsSizeF&, KsSizeF*)
HC_DELEGATE_PAIR(const KsPointF&, KsPointF*)
HC_DELEGATE_PAIR(const KsColorF&, KsColorF*)
HC_DELEGATE_PAIR(const KsPropertyList&, KsPropertyList*)
#undef HC_DELEGATE_PAIR

bool DelegatingProperty::GetCanGet() const { return m_targetProperty && m_targetProperty->GetCanGet(); }

bool DelegatingProperty::GetCanSet() const { return m_targetProperty && m_targetProperty->GetCanSet(); }
