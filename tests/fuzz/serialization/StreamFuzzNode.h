#pragma once

// The model class the stream fuzz targets read documents into, and their
// seed writer writes: values of every kind, a child, a collection.

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsColor.h"
#include "General/KsObject.h"
#include "General/KsPropertyList.h"
#include "General/KsRect.h"
#include "General/ObjectCollection.h"
#include "tests/Support/NodeField.h"

class StreamFuzzNode : public KsObject {
  HC_CLASS_HEADER(StreamFuzzNode)
 public:
  HC_NODE_FIELD(float, Width)
  HC_NODE_FIELD(int32_t, Count)
  HC_NODE_FIELD(uint32_t, Serial)
  HC_NODE_FIELD(PWStringRef, Label)
  HC_NODE_FIELD(bool, Enabled)
  HC_NODE_FIELD(KsRectF, Frame)
  HC_NODE_FIELD(KsColorF, Tint)
  HC_NODE_FIELD(double, Ratio)
  HC_NODE_FIELD(KsPropertyList, Plist)
  HC_NODE_FIELD(int64_t, Big)
  HC_NODE_FIELD(KsRef<StreamFuzzNode>, Child)
  HC_NODE_FIELD(KsRef<ObjectCollection>, Items)

  // Documents may refer back to any object they hold: the graph is let go
  // of by hand.
  void Unlink();
};
HC_CLASS_OBJECT(StreamFuzzNode, KsObject)

// Puts the node class and the stream classes into the class map.
void RegisterStreamFuzzClasses();
