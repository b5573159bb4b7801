#pragma once

#include <utility>

#include "platform/runtime/Object.h"

namespace hc::runtime {

// An owning reference to a run-time object: copying retains, destruction
// releases.
class ObjectRef {
 public:
  ObjectRef() = default;
  // Retains the object.
  explicit ObjectRef(Id object) : m_object(object) { Retain(m_object); }
  // Takes over a reference the caller owns.
  static ObjectRef Adopt(Id object) {
    ObjectRef ref;
    ref.m_object = object;
    return ref;
  }
  ObjectRef(const ObjectRef& other) : m_object(other.m_object) { Retain(m_object); }
  ObjectRef(ObjectRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  ObjectRef& operator=(ObjectRef other) noexcept {
    std::swap(m_object, other.m_object);
    return *this;
  }
  ~ObjectRef() { Release(m_object); }

  Id Get() const { return m_object; }
  explicit operator bool() const { return m_object != nullptr; }
  // Hands the reference to the caller.
  Id Detach() { return std::exchange(m_object, nullptr); }

  friend bool operator==(const ObjectRef& a, const ObjectRef& b) { return a.m_object == b.m_object; }

 private:
  Id m_object = nullptr;
};

}  // namespace hc::runtime
