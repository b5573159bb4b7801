#pragma once

#include <cstdint>
#include <vector>

#include "General/KsSimpleCollectionBase.h"
#include "KsTrace.h"
#include "Utilities/HcTypedProperty.h"
#include "Utilities/PropertyTraverser.h"

// An ordered list of plain values of type T (stored by value). Only ever a
// base: each element type has a named concrete class with its class object.
template <class T>
class KsSimpleCollection : public KsSimpleCollectionBase {
 public:
  // The class the element descriptors of the concrete classes address.
  using ElementCollection = KsSimpleCollection<T>;
  using Param = HcParam<T>;

  uint32_t GetCount() const override { return static_cast<uint32_t>(m_values.size()); }

  eAppErr Add(Param value) {
    m_values.push_back(value);
    return AppErr::kNoErr;
  }

  eAppErr GetByIndex(uint32_t index, T* value) const {
    if (!value) return KS_TRACE_ERR(AppErr::kBadArgument, "GetByIndex");
    if (index >= m_values.size()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "GetByIndex");
    *value = m_values[index];
    return AppErr::kNoErr;
  }

  // The element, or the zero value when the index is out of range.
  T GetByIndex(uint32_t index) const { return index < m_values.size() ? m_values[index] : T{}; }

  // Replaces the element at index; the index just past the end appends.
  eAppErr SetAt(uint32_t index, Param value) {
    if (index > m_values.size()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "SetAt");
    if (index == m_values.size()) {
      m_values.push_back(value);
    } else {
      m_values[index] = value;
    }
    return AppErr::kNoErr;
  }

  // Inserts before the element at index; an index at or past the end appends.
  eAppErr InsertAt(uint32_t index, Param value) {
    if (index < m_values.size()) {
      m_values.insert(m_values.begin() + index, value);
    } else {
      m_values.push_back(value);
    }
    return AppErr::kNoErr;
  }

  eAppErr RemoveAt(uint32_t index) override {
    if (index >= m_values.size()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "RemoveAt");
    m_values.erase(m_values.begin() + index);
    return AppErr::kNoErr;
  }

  // Removal in the shape of an indexed setter; the value is not used.
  eAppErr RemoveNoSet(uint32_t index, Param) { return RemoveAt(index); }

  void Clear() { m_values.clear(); }
  const std::vector<T>& Values() const { return m_values; }

  eAppErr SetWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) override;
  eAppErr InsertWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) override;
  eAppErr GetWrappedValueByIndex(uint32_t index, KsRef<KsValueWrapper>* value) override;

  void TraverseElements(HcProperty* elementProperty, PropertyTraverser* traverser) override {
    // The count is read again before each element: a traverser may change it.
    for (uint32_t index = 0; index < GetCount(); ++index) {
      traverser->OnPropertyValue(this, elementProperty, static_cast<int32_t>(index), m_values[index]);
    }
  }

 private:
  std::vector<T> m_values;
};

// Defined with the value wrapper's help for these element types only.
extern template class KsSimpleCollection<int32_t>;
extern template class KsSimpleCollection<int64_t>;
extern template class KsSimpleCollection<float>;
extern template class KsSimpleCollection<double>;
extern template class KsSimpleCollection<KsPointF>;
