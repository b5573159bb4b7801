#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/RefTempl.h"

class IntCollection;

// What a change of a collection-valued property did: the kind of change, the
// indices it touched and the element a removal or replacement took out. The
// change notification makes one when a change scope of an observed property
// of a collection opens; the mutating collection fills it before it changes
// its contents, and observers receive it with the change notice.
class KsPropertyChangeDescription : public KsObject {
  HC_CLASS_HEADER(KsPropertyChangeDescription)
 public:
  // The kinds of change (the numbers observers outside the model know).
  enum ChangeKind : int32_t { kSetting = 1, kInsertion = 2, kRemoval = 3, kReplacement = 4 };
  enum : int32_t { kChangeTypeId = 200, kChangeIndicesId = 201, kReplacedObjectValueId = 202 };

  KsPropertyChangeDescription();
  ~KsPropertyChangeDescription() override;

  int32_t GetChangeType() const { return m_changeType; }
  eAppErr SetChangeType(int32_t changeType);
  // Made empty on first request and kept; never empty.
  KsRef<IntCollection> GetChangeIndices();
  eAppErr SetChangeIndices(const KsRef<IntCollection>& indices);
  KsRef<KsObject> GetReplacedObjectValue() const { return m_replacedObjectValue; }
  eAppErr SetReplacedObjectValue(const KsRef<KsObject>& object);

 private:
  // A description no mutation fills (an element added through the element
  // property, a plain setter of a collection class) reads as a setting.
  int32_t m_changeType = kSetting;
  KsRef<IntCollection> m_changeIndices;
  KsRef<KsObject> m_replacedObjectValue;
};
HC_CLASS_OBJECT(KsPropertyChangeDescription, KsObject)
