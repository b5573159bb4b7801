#include "General/KsStringCollection.h"

#include "General/KsValueWrapper.h"
#include "KsTrace.h"
#include "Utilities/PropertyTraverser.h"

eAppErr KsStringCollection::Add(const PWStringRef& string) {
  m_strings.push_back(string);
  return AppErr::kNoErr;
}

eAppErr KsStringCollection::GetByIndex(uint32_t index, PWStringRef* string) const {
  if (!string) return KS_TRACE_ERR(AppErr::kBadArgument, "GetByIndex");
  if (index >= m_strings.size()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "GetByIndex");
  *string = m_strings[index];
  return AppErr::kNoErr;
}

PWStringRef KsStringCollection::GetByIndex(uint32_t index) const {
  return index < m_strings.size() ? m_strings[index] : PWStringRef();
}

eAppErr KsStringCollection::SetAt(uint32_t index, const PWStringRef& string) {
  if (index >= m_strings.size()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "SetAt");
  m_strings[index] = string;
  return AppErr::kNoErr;
}

eAppErr KsStringCollection::InsertAt(uint32_t index, const PWStringRef& string) {
  if (index < m_strings.size()) {
    m_strings.insert(m_strings.begin() + index, string);
  } else {
    m_strings.push_back(string);
  }
  return AppErr::kNoErr;
}

eAppErr KsStringCollection::RemoveAt(uint32_t index) {
  if (index >= m_strings.size()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "RemoveAt");
  m_strings.erase(m_strings.begin() + index);
  return AppErr::kNoErr;
}

eAppErr KsStringCollection::RemoveNoSet(uint32_t index, const PWStringRef&) { return RemoveAt(index); }

void KsStringCollection::Clear() { m_strings.clear(); }

bool KsStringCollection::Contains(const PWStringRef& string) const {
  for (const PWStringRef& element : m_strings) {
    if (element.SameObject(string)) return true;
  }
  return false;
}

eAppErr KsStringCollection::GetWrappedValueByIndex(uint32_t index, KsRef<KsValueWrapper>* value) {
  if (!value) return AppErr::kBadArgument;
  // An index out of range gives a wrapper holding a null string.
  *value = KsMakeRef<KsValueWrapper>();
  return (*value)->SetStringValue(GetByIndex(index));
}

eAppErr KsStringCollection::StringOfWrapper(const KsRef<KsValueWrapper>& value, PWStringRef* string,
                                            const char* method) {
  if (!value) return KS_TRACE_ERR(AppErr::kBadArgument, method);
  // A wrapper of another kind would otherwise store a null string and report
  // success.
  if (value->GetValueType() != KsPropertyType::kString) return KS_TRACE_ERR(AppErr::kUnsupportedType, method);
  *string = value->CopyString();
  return AppErr::kNoErr;
}

eAppErr KsStringCollection::SetWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) {
  PWStringRef string;
  const eAppErr err = StringOfWrapper(value, &string, "SetWrappedValueAt");
  return AppErrFailed(err) ? err : SetAt(index, string);
}

eAppErr KsStringCollection::InsertWrappedValueAt(uint32_t index, const KsRef<KsValueWrapper>& value) {
  PWStringRef string;
  const eAppErr err = StringOfWrapper(value, &string, "InsertWrappedValueAt");
  return AppErrFailed(err) ? err : InsertAt(index, string);
}

void KsStringCollection::TraverseElements(HcProperty* elementProperty, PropertyTraverser* traverser) {
  // The count is read again before each element: a traverser may change it.
  for (uint32_t index = 0; index < GetCount(); ++index) {
    const PWStringRef string = m_strings[index];
    traverser->OnPropertyValue(this, elementProperty, static_cast<int32_t>(index), string);
  }
}
