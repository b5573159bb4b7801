#include "Time/FloatBindingTuple.h"

#include "General/FloatCollection.h"
#include "Utilities/HcPropertyBindingBase.h"

FloatBindingTuple::FloatBindingTuple() = default;
FloatBindingTuple::~FloatBindingTuple() = default;

eAppErr FloatBindingTuple::SetBinding(const KsRef<HcPropertyBindingBase>& binding) {
  m_binding = binding;
  return AppErr::kNoErr;
}

KsRef<FloatCollection> FloatBindingTuple::GetFloats() {
  if (!m_floats) m_floats = KsMakeRef<FloatCollection>();
  return m_floats;
}

eAppErr FloatBindingTuple::SetFloats(const KsRef<FloatCollection>& floats) {
  m_floats = floats;
  return AppErr::kNoErr;
}
