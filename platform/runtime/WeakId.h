#pragma once

#include <memory>
#include <mutex>

#include "platform/runtime/ObjectRef.h"

namespace hc::runtime {

class NativeObject;

struct WeakCell {
  std::mutex lock;
  NativeObject* target = nullptr;
};

// A weak reference to a native object: Load gives a counted reference while
// the object lives and an empty one after (or for objects the run time does
// not count). Safe against the object dying on another thread.
class WeakId {
 public:
  WeakId() = default;
  explicit WeakId(Id object);

  ObjectRef Load() const;
  bool IsEmpty() const { return !m_cell; }

 private:
  std::shared_ptr<WeakCell> m_cell;
};

}  // namespace hc::runtime
