#pragma once

// Observers and traversers the collection suites share.

#include <string>
#include <vector>

#include "General/IntCollection.h"
#include "General/KsObject.h"
#include "General/KsPropertyChangeDescription.h"
#include "Utilities/HcProperty.h"
#include "Utilities/PropertyTraverser.h"

// One change notice as an observer saw it.
struct SeenChange {
  int32_t propertyId = 0;
  int32_t changeType = 0;           // 0: no description came with the notice
  std::vector<int32_t> indices;
  KsRef<KsObject> replaced;
  uint32_t countWhenTold = 0;       // the collection's count when the notice arrived
};

// Records every notice with the description's contents, and what the
// collection held at that moment.
class CollectionObserver : public KsObject {
 public:
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override {
    SeenChange seen;
    seen.propertyId = property ? property->GetPropertyID() : 0;
    if (auto* described = dynamic_cast<KsPropertyChangeDescription*>(description.Get())) {
      seen.changeType = described->GetChangeType();
      seen.indices = described->GetChangeIndices()->Values();
      seen.replaced = described->GetReplacedObjectValue();
    }
    KsRef<HcProperty> count = object->GetClassObject()->FindProperty("Count");
    if (count) count->GetValue(object.Get(), &seen.countWhenTold);
    changes.push_back(seen);
  }

  std::vector<SeenChange> changes;
};

// One visit of a traverser.
struct Visit {
  std::string property;
  int32_t index;
  std::string value;
};

// Writes down each value it is handed, as text.
class VisitRecorder : public PropertyTraverser {
 public:
  std::vector<Visit> visits;

  eAppErr Record(HcProperty* p, int32_t index, std::string value) {
    visits.push_back({p ? p->GetName().Str() : std::string(), index, std::move(value)});
    return AppErr::kNoErr;
  }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, float v) override { return Record(p, i, std::to_string(v)); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, uint32_t v) override { return Record(p, i, std::to_string(v)); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, int32_t v) override { return Record(p, i, std::to_string(v)); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, bool v) override { return Record(p, i, v ? "true" : "false"); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, const PWStringRef& v) override {
    return Record(p, i, v.IsNull() ? "(null)" : v.Str());
  }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, const KsRef<KsObject>& v) override {
    return Record(p, i, v ? v->GetName().Str() : "(none)");
  }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, const KsRectF&) override { return Record(p, i, "rect"); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, const KsPointF& v) override {
    return Record(p, i, std::to_string(v.x) + "," + std::to_string(v.y));
  }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, const KsSizeF&) override { return Record(p, i, "size"); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, const KsColorF&) override { return Record(p, i, "color"); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, double v) override { return Record(p, i, std::to_string(v)); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, const KsPropertyList&) override { return Record(p, i, "plist"); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, void*) override { return Record(p, i, "pointer"); }
  eAppErr OnPropertyValue(KsObject*, HcProperty* p, int32_t i, int64_t v) override { return Record(p, i, std::to_string(v)); }
};
