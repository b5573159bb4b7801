#include "General/KsPropertyChangeDescription.h"

#include "General/IntCollection.h"

KsPropertyChangeDescription::KsPropertyChangeDescription() = default;

KsPropertyChangeDescription::~KsPropertyChangeDescription() {
  m_replacedObjectValue = nullptr;
  m_changeIndices = nullptr;
}

eAppErr KsPropertyChangeDescription::SetChangeType(int32_t changeType) {
  DidChangeCaller change(this, kChangeTypeId);
  m_changeType = changeType;
  return AppErr::kNoErr;
}

KsRef<IntCollection> KsPropertyChangeDescription::GetChangeIndices() {
  if (!m_changeIndices) m_changeIndices = KsMakeRef<IntCollection>();
  return m_changeIndices;
}

eAppErr KsPropertyChangeDescription::SetChangeIndices(const KsRef<IntCollection>& indices) {
  DidChangeCaller change(this, kChangeIndicesId);
  m_changeIndices = indices;
  return AppErr::kNoErr;
}

eAppErr KsPropertyChangeDescription::SetReplacedObjectValue(const KsRef<KsObject>& object) {
  DidChangeCaller change(this, kReplacedObjectValueId);
  m_replacedObjectValue = object;
  return AppErr::kNoErr;
}
