#include "Utilities/HcWeakPropertyBinding.h"

KsRef<KsObject> HcWeakPropertyBinding::GetTargetObject() const {
  return m_target ? m_target->GetTargetAs<KsObject>() : KsRef<KsObject>();
}

eAppErr HcWeakPropertyBinding::StoreTarget(const KsRef<KsObject>& target) {
  m_target = WeakRef::GetWeakRef(target.Get());
  return AppErr::kNoErr;
}
