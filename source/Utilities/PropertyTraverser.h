#pragma once

#include <cstdint>

#include "General/KsBaseObject.h"
#include "General/KsColor.h"
#include "General/KsPoint.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/KsSize.h"
#include "General/RefTempl.h"
#include "KsAppErr.h"
#include "PWString.h"

class KsObject;
class HcProperty;

// The visitor of property values handed to a class object's
// TraverseProperties. The index is -1 for a plain property and the element
// index for an element of a collection.
class PropertyTraverser : public KsBaseObject {
 public:
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, float value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, uint32_t value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, int32_t value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, bool value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const PWStringRef& value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsRef<KsObject>& value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsRectF& value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsPointF& value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsSizeF& value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsColorF& value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, double value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, const KsPropertyList& value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, void* value) = 0;
  virtual eAppErr OnPropertyValue(KsObject* object, HcProperty* property, int32_t index, int64_t value) = 0;
};
