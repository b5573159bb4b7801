#include "Time/HcPropertyTween.h"

#include "Utilities/HcPropertyBinding.h"
#include "Utilities/KsPropertyType.h"

HcPropertyTween::HcPropertyTween() = default;
HcPropertyTween::~HcPropertyTween() = default;

eAppErr HcPropertyTween::SetBinding(const KsRef<HcPropertyBindingBase>& binding) {
  KsRef<HcPropertyBindingBase> old;
  {
    KsSpinLockGuard guard(m_bindingLock);
    old = m_binding;
    m_binding = binding;
  }
  return AppErr::kNoErr;
}

KsRef<HcPropertyBindingBase> HcPropertyTween::ObtainBinding() {
  {
    KsSpinLockGuard guard(m_bindingLock);
    if (m_binding) return m_binding;
  }
  KsRef<HcPropertyBindingBase> made = KsMakeRef<HcPropertyBinding>();
  KsSpinLockGuard guard(m_bindingLock);
  if (!m_binding) m_binding = made;
  return m_binding;
}

KsRef<HcPropertyBindingBase> HcPropertyTween::GetBinding() {
  KsRef<HcPropertyBindingBase> binding = ObtainBinding();
  if (binding->GetPropertyType() == KsPropertyType::kObject) {
    KsRef<KsObject> value;
    if (!AppErrFailed(binding->GetValue(&value))) {
      if (auto inner = value.DynamicCast<HcPropertyBindingBase>()) return inner;
    }
  }
  return binding;
}
