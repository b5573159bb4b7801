#include "ViewTestSupport.h"

#include <algorithm>

#include "Utilities/HcProperty.h"

void NoticeRecorder::ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                                           const KsRef<KsObject>&) {
  ids.push_back(property ? property->GetPropertyID() : 0);
  objects.push_back(object.Get());
}

int NoticeRecorder::Count(int32_t propertyId) const {
  return static_cast<int>(std::count(ids.begin(), ids.end(), propertyId));
}

void Observe(const KsRef<KsObject>& object, const KsRef<NoticeRecorder>& recorder,
             std::initializer_list<int32_t> ids) {
  for (int32_t id : ids) object->AddObserverForId(recorder, id, 0);
}
