#pragma once

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/FloatCollection.h"
#include "Utilities/HcPropertyBindingBase.h"

// One property of a float sequence and its keyframe values: the n-th float
// belongs to the sequence's n-th timestamp.
class FloatBindingTuple : public KsObject {
  HC_CLASS_HEADER(FloatBindingTuple)
 public:
  enum : int32_t { kBindingId = 200, kFloatsId = 201 };

  FloatBindingTuple();
  ~FloatBindingTuple() override;

  KsRef<HcPropertyBindingBase> GetBinding() const { return m_binding; }
  eAppErr SetBinding(const KsRef<HcPropertyBindingBase>& binding);
  // Made empty on first use.
  KsRef<FloatCollection> GetFloats();
  eAppErr SetFloats(const KsRef<FloatCollection>& floats);

 private:
  KsRef<HcPropertyBindingBase> m_binding;
  KsRef<FloatCollection> m_floats;
};
HC_CLASS_OBJECT(FloatBindingTuple, KsObject)
