#pragma once

#include "General/KsObject.h"

class PanoSource;

// A vector object that shows one source (a source display implements it):
// the radio buttons show their up and down images through it.
class SourceDisplayObject {
 public:
  virtual ~SourceDisplayObject() = default;

  static SourceDisplayObject* Of(KsObject* object) { return dynamic_cast<SourceDisplayObject*>(object); }

  virtual KsRef<PanoSource> GetSource() const = 0;
  virtual eAppErr SetSource(const KsRef<PanoSource>& source) = 0;
};
