#pragma once

#include <cstdint>
#include <vector>

#include "General/KsSimpleCollectionBase.h"
#include "PWString.h"

// An ordered list of strings (a null string may be stored), written as
// "String" elements under the class name "Strings".
class KsStringCollection : public KsSimpleCollectionBase {
  HC_CLASS_HEADER(KsStringCollection)
 public:
  using ElementCollection = KsStringCollection;
  static constexpr KsPropertyType::PropertyType kElementType = KsPropertyType::kString;

  uint32_t GetCount() const override { return static_cast<uint32_t>(m_strings.size()); }
  KsPropertyType::PropertyType GetPropertyType() const override { return kElementType; }

  eAppErr Add(const PWStringRef& string);
  eAppErr GetByIndex(uint32_t index, PWStringRef* string) const;
  // The element, or null when the index is out of range.
  PWStringRef GetByIndex(uint32_t index) const;
  // Replaces the element at index; never appends.
  eAppErr SetAt(uint32_t index, const PWStringRef& string);
  // Inserts before the element at index; an index at or past the end appends.
  eAppErr InsertAt(uint32_t index, const PWStringRef& string);
  eAppErr RemoveAt(uint32_t index) override;
  // Removal in the shape of an indexed setter; the string is not used.
  eAppErr RemoveNoSet(uint32_t index, const PWStringRef& string);
  void Clear();
  // True when an element is this very string object (not merely equal text).
  bool Contains(const PWStringRef& string) const;

  eAppErr SetWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) override;
  eAppErr InsertWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) override;
  eAppErr GetWrappedValueByIndex(uint32_t index, KsRef<KsValueWrapper>* value) override;
  void TraverseElements(HcProperty* elementProperty, PropertyTraverser* traverser) override;

 private:
  // The wrapper's string, or -102 when it holds another kind (or nothing).
  static eAppErr StringOfWrapper(const KsRef<KsValueWrapper>& value, PWStringRef* string, const char* method);

  std::vector<PWStringRef> m_strings;
};
HC_VALUE_COLLECTION_CLASS_OBJECT(KsStringCollection)
