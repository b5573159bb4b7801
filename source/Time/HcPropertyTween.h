#pragma once

#include "General/KsSpinLock.h"
#include "Time/HcTween.h"

class HcPropertyBindingBase;

// A tween that writes one property through a binding. The binding is made
// (empty, holding its target strongly) on first use, so HcML may fill in its
// properties under "Binding" without naming a binding class.
class HcPropertyTween : public HcTween {
  HC_CLASS_HEADER(HcPropertyTween)
 public:
  enum : int32_t { kBindingId = 300 };

  HcPropertyTween();
  ~HcPropertyTween() override;

  virtual eAppErr SetBinding(const KsRef<HcPropertyBindingBase>& binding);
  // The binding to write through, never empty: when the bound property
  // itself holds a binding, that inner binding (one level only).
  virtual KsRef<HcPropertyBindingBase> GetBinding();

 protected:
  // The binding as stored, made on first use.
  KsRef<HcPropertyBindingBase> ObtainBinding();

 private:
  KsSpinLock m_bindingLock;
  KsRef<HcPropertyBindingBase> m_binding;
};
HC_CLASS_OBJECT(HcPropertyTween, HcTween)
