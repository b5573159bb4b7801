#pragma once

#include "General/WeakRef.h"
#include "Utilities/HcPropertyBindingBase.h"

// A property binding that holds its target weakly: once the target has died
// the binding answers -903.
class HcWeakPropertyBinding : public HcPropertyBindingBase {
  HC_CLASS_HEADER(HcWeakPropertyBinding)
 public:
  KsRef<KsObject> GetTargetObject() const override;

 protected:
  eAppErr StoreTarget(const KsRef<KsObject>& target) override;

 private:
  WeakRef::Ref m_target;
};
HC_CLASS_OBJECT(HcWeakPropertyBinding, HcPropertyBindingBase)
