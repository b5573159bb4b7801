#pragma once

#include "General/KsBaseObject.h"
#include "General/RefTempl.h"

// A critical section that guards data shared with a drawing or decoding
// thread. The owning thread may enter again; each Enter needs its Exit.
class PWCriticalRegion : public KsBaseObject {
 public:
  using Ref = RefTemplAbstract<KsBaseObject, PWCriticalRegion>;

  // A new region of this platform; the reference holds its only count.
  static Ref Create();

  // Blocks until the calling thread owns the region; answers 0.
  virtual int Enter() = 0;
  // Gives up one entry; answers 0, or EPERM when the calling thread does not
  // own the region (which then stays as it was).
  virtual int Exit() = 0;
};
