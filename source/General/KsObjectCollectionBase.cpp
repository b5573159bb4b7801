#include "General/KsObjectCollectionBase.h"

#include <initializer_list>

#include "General/IntCollection.h"
#include "General/KsPropertyChangeDescription.h"
#include "KsTrace.h"
#include "Utilities/HcProperty.h"

// The announcement around one mutation: opens the change scope of the
// element property and lets the mutation fill the description observers
// will receive, before the contents change. The notice goes out when the
// scope ends, after the change.
class KsObjectCollectionBase::ChangeScope {
 public:
  explicit ChangeScope(KsObjectCollectionBase* collection)
      : m_change(collection, collection->HasObservers() ? ElementPropertyId(*collection) : 0) {}

  void Describe(int32_t changeType, std::initializer_list<uint32_t> indices,
                const KsRef<KsObject>& replaced = KsRef<KsObject>()) {
    KsPropertyChangeDescription* description = Description();
    if (!description) return;
    description->SetChangeType(changeType);
    KsRef<IntCollection> list = description->GetChangeIndices();
    for (uint32_t index : indices) list->Add(static_cast<int32_t>(index));
    if (replaced) description->SetReplacedObjectValue(replaced);
  }

  void DescribeRemovalOfAll(uint32_t count) {
    KsPropertyChangeDescription* description = Description();
    if (!description) return;
    description->SetChangeType(KsPropertyChangeDescription::kRemoval);
    KsRef<IntCollection> list = description->GetChangeIndices();
    for (uint32_t index = 0; index < count; ++index) list->Add(static_cast<int32_t>(index));
  }

 private:
  static int32_t ElementPropertyId(const KsObjectCollectionBase& collection) {
    KsRef<HcProperty> element;
    collection.GetClassObject()->GetElementProperty(element);
    // Every concrete collection class has one; id 1 by convention.
    return element ? element->GetPropertyID() : 1;
  }

  KsPropertyChangeDescription* Description() const {
    return dynamic_cast<KsPropertyChangeDescription*>(m_change.GetDescription().Get());
  }

  DidChangeCaller m_change;
};

KsObjectCollectionBase::KsObjectCollectionBase() = default;

KsObjectCollectionBase::~KsObjectCollectionBase() = default;

int32_t KsObjectCollectionBase::FindIndex(const KsObject* object) const {
  if (!object) return -1;
  for (size_t index = 0; index < m_elements.size(); ++index) {
    if (m_elements[index].Get() == object) return static_cast<int32_t>(index);
  }
  return -1;
}

bool KsObjectCollectionBase::ContainsObject(const KsRef<KsObject>& object) const {
  return FindIndex(object.Get()) >= 0;
}

int32_t KsObjectCollectionBase::IndexOfObject(const KsRef<KsObject>& object) const {
  return FindIndex(object.Get());
}

eAppErr KsObjectCollectionBase::GetObjectByIndex(uint32_t index, KsRef<KsObject>* object) const {
  if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "GetObjectByIndex");
  *object = nullptr;
  if (index >= m_elements.size()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "GetObjectByIndex");
  *object = m_elements[index];
  return AppErr::kNoErr;
}

eAppErr KsObjectCollectionBase::GetObjectByName(const PWStringRef& name, KsRef<KsObject>* object) const {
  if (!object || name.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "GetObjectByName");
  *object = nullptr;
  for (const KsRef<KsObject>& element : m_elements) {
    PWStringRef elementName = element->GetName();
    if (!elementName.IsNull() && elementName.View() == name.View()) {
      *object = element;
      return AppErr::kNoErr;
    }
  }
  return AppErr::kNotFound;
}

eAppErr KsObjectCollectionBase::GetByUUID(const KsUUID& uuid, KsRef<KsObject>* object) const {
  if (!object || uuid.IsNull()) return KS_TRACE_ERR(AppErr::kBadArgument, "GetByUUID");
  *object = nullptr;
  for (const KsRef<KsObject>& element : m_elements) {
    if (element->HasUUID() && element->UUID() == uuid) {
      *object = element;
      return AppErr::kNoErr;
    }
  }
  return AppErr::kNotFound;
}

eAppErr KsObjectCollectionBase::AddObject(const KsRef<KsObject>& object) {
  if (!IsLegalElement(object)) return KS_TRACE_ERR(AppErr::kBadArgument, "AddObject");
  return InternalAdd(object);
}

eAppErr KsObjectCollectionBase::InternalAdd(const KsRef<KsObject>& object) {
  if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "InternalAdd");
  ChangeScope change(this);
  change.Describe(KsPropertyChangeDescription::kInsertion, {GetCount()});
  m_elements.push_back(object);
  return AppErr::kNoErr;
}

eAppErr KsObjectCollectionBase::InsertObjectAt(uint32_t index, const KsRef<KsObject>& object) {
  if (!IsLegalElement(object)) return KS_TRACE_ERR(AppErr::kBadArgument, "InsertObjectAt");
  return InternalInsertAt(index, object);
}

eAppErr KsObjectCollectionBase::InternalInsertAt(uint32_t index, const KsRef<KsObject>& object) {
  if (index >= GetCount()) return InternalAdd(object);
  if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "InternalInsertAt");
  ChangeScope change(this);
  change.Describe(KsPropertyChangeDescription::kInsertion, {index});
  m_elements.insert(m_elements.begin() + index, object);
  return AppErr::kNoErr;
}

eAppErr KsObjectCollectionBase::SetObjectAt(uint32_t index, const KsRef<KsObject>& object) {
  if (!IsLegalElement(object)) return KS_TRACE_ERR(AppErr::kBadArgument, "SetObjectAt");
  return InternalSetAt(index, object);
}

eAppErr KsObjectCollectionBase::InternalSetAt(uint32_t index, const KsRef<KsObject>& object) {
  if (index >= GetCount()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "InternalSetAt");
  if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "InternalSetAt");
  ChangeScope change(this);
  change.Describe(KsPropertyChangeDescription::kReplacement, {index}, m_elements[index]);
  m_elements[index] = object;
  return AppErr::kNoErr;
}

eAppErr KsObjectCollectionBase::RemoveObject(const KsRef<KsObject>& object) {
  if (!IsLegalElement(object)) return KS_TRACE_ERR(AppErr::kBadArgument, "RemoveObject");
  return InternalRemove(object);
}

eAppErr KsObjectCollectionBase::InternalRemove(const KsRef<KsObject>& object) {
  if (!object) return KS_TRACE_ERR(AppErr::kBadArgument, "InternalRemove");
  const int32_t found = FindIndex(object.Get());
  if (found < 0) return KS_TRACE_ERR(AppErr::kNotFound, "InternalRemove");
  const auto index = static_cast<uint32_t>(found);
  ChangeScope change(this);
  change.Describe(KsPropertyChangeDescription::kRemoval, {index}, m_elements[index]);
  m_elements.erase(m_elements.begin() + index);
  return AppErr::kNoErr;
}

eAppErr KsObjectCollectionBase::RemoveAt(uint32_t index) {
  if (index >= GetCount()) return KS_TRACE_ERR(AppErr::kIndexOutOfRange, "RemoveAt");
  ChangeScope change(this);
  change.Describe(KsPropertyChangeDescription::kRemoval, {index}, m_elements[index]);
  m_elements.erase(m_elements.begin() + index);
  return AppErr::kNoErr;
}

void KsObjectCollectionBase::RemoveAllObjects() {
  ChangeScope change(this);
  change.DescribeRemovalOfAll(GetCount());
  // Elements are released after the array is empty, so an element's
  // destructor never sees a half-cleared collection.
  std::vector<KsRef<KsObject>> removed;
  removed.swap(m_elements);
}

eAppErr KsObjectCollectionBase::AddObjects(const KsRef<KsObjectCollectionBase>& other) {
  if (!other) return AppErr::kNoErr;
  eAppErr result = AppErr::kNoErr;
  // The count is taken first, so a collection added to itself doubles once.
  const uint32_t count = other->GetCount();
  for (uint32_t index = 0; index < count; ++index) {
    KsRef<KsObject> element;
    if (AppErrFailed(other->GetObjectByIndex(index, &element))) break;
    result = AddObject(element);
  }
  return result;
}

eAppErr KsObjectCollectionBase::AddUniqueObjects(const KsRef<KsObjectCollectionBase>& other) {
  if (!other) return AppErr::kNoErr;
  eAppErr result = AppErr::kNoErr;
  const uint32_t count = other->GetCount();
  for (uint32_t index = 0; index < count; ++index) {
    KsRef<KsObject> element;
    if (AppErrFailed(other->GetObjectByIndex(index, &element))) break;
    if (ContainsObject(element)) continue;
    result = AddObject(element);
  }
  return result;
}

KsRef<KsObjectCollectionBase> KsObjectCollectionBase::MakeEmptyOfSameClass() const {
  KsRef<KsObject> made;
  GetClassObject()->CreateObject(made);
  return made.DynamicCast<KsObjectCollectionBase>();
}

KsRef<KsObjectCollectionBase> KsObjectCollectionBase::CollectionByIntersectingCollection(
    const KsRef<KsObjectCollectionBase>& other) {
  if (!other) return {};
  KsRef<KsObjectCollectionBase> result = MakeEmptyOfSameClass();
  if (!result) return {};
  for (const KsRef<KsObject>& element : other->m_elements) {
    if (ContainsObject(element)) result->AddObject(element);
  }
  return result;
}

KsRef<KsObjectCollectionBase> KsObjectCollectionBase::CollectionByExcludingCollection(
    const KsRef<KsObjectCollectionBase>& other) {
  if (!other) return ThisRef();
  KsRef<KsObjectCollectionBase> result = MakeEmptyOfSameClass();
  if (!result) return {};
  for (const KsRef<KsObject>& element : m_elements) {
    if (!other->ContainsObject(element)) result->AddObject(element);
  }
  return result;
}

KsRef<KsObjectCollectionBase> KsObjectCollectionBase::SubsetOfCollection(uint32_t first, uint32_t end) {
  KsRef<KsObjectCollectionBase> result = MakeEmptyOfSameClass();
  if (!result) return {};
  if (end < first || end > GetCount()) end = GetCount();
  for (uint32_t index = first; index < end; ++index) result->AddObject(m_elements[index]);
  return result;
}
