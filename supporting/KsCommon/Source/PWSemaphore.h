#pragma once

#include "General/KsBaseObject.h"
#include "General/RefTempl.h"

// A counting semaphore for waiting on work done by another thread. The count
// starts at 0 and never exceeds kMaxCount.
class PWSemaphore : public KsBaseObject {
 public:
  using Ref = RefTemplAbstract<KsBaseObject, PWSemaphore>;

  static constexpr int kMaxCount = 1024;

  // A new semaphore of this platform; the reference holds its only count.
  static Ref Create();

  // Raises the count `count` times (nothing for 0 or less); raises past
  // kMaxCount are lost. Always true.
  virtual bool Signal(int count) = 0;
  // Blocks until the count is above zero, then takes one. Always true.
  virtual bool Wait() = 0;
};
