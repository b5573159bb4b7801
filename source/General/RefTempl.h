#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "General/KsBaseObject.h"

// A counted reference to a T. Copying retains, destruction releases.
template <class T>
class KsRef {
 public:
  using element_type = T;

  KsRef() = default;
  KsRef(std::nullptr_t) {}
  // Retains the object (a new object then holds two counts until its
  // creator releases the creating one; see Adopt for taking it over).
  explicit KsRef(T* object) : m_object(object) { RetainObject(); }
  KsRef(const KsRef& other) : m_object(other.m_object) { RetainObject(); }
  KsRef(KsRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  KsRef(const KsRef<U>& other) : m_object(other.Get()) {
    RetainObject();
  }
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  KsRef(KsRef<U>&& other) noexcept : m_object(other.Detach()) {}
  ~KsRef() { ReleaseObject(); }

  // Takes over the creating count of a new object.
  static KsRef Adopt(T* object) {
    KsRef ref;
    ref.m_object = object;
    return ref;
  }

  KsRef& operator=(const KsRef& other) {
    Assign(other.m_object);
    return *this;
  }
  KsRef& operator=(KsRef&& other) noexcept {
    if (this != &other) {
      T* old = std::exchange(m_object, std::exchange(other.m_object, nullptr));
      if (old) old->Release();
    }
    return *this;
  }
  KsRef& operator=(std::nullptr_t) {
    Assign(nullptr);
    return *this;
  }
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  KsRef& operator=(const KsRef<U>& other) {
    Assign(other.Get());
    return *this;
  }
  // Stores the object and retains it, then releases the old one; assigning
  // the object already held changes nothing.
  void Assign(T* object) {
    if (object == m_object) return;
    if (object) object->Retain();
    T* old = std::exchange(m_object, object);
    if (old) old->Release();
  }

  T* Get() const { return m_object; }
  T* operator->() const { return m_object; }
  T& operator*() const { return *m_object; }
  explicit operator bool() const { return m_object != nullptr; }
  bool IsEmpty() const { return m_object == nullptr; }
  // Gives up the reference without releasing it.
  T* Detach() { return std::exchange(m_object, nullptr); }

  // A counted reference to the same object as a U, or empty when it is not one.
  template <class U>
  KsRef<U> DynamicCast() const {
    return KsRef<U>(dynamic_cast<U*>(m_object));
  }

 private:
  void RetainObject() {
    if (m_object) m_object->Retain();
  }
  void ReleaseObject() {
    if (m_object) m_object->Release();
  }

  T* m_object = nullptr;
};

template <class T, class U>
bool operator==(const KsRef<T>& a, const KsRef<U>& b) {
  return static_cast<const void*>(a.Get()) == static_cast<const void*>(b.Get());
}
template <class T>
bool operator==(const KsRef<T>& a, std::nullptr_t) {
  return a.Get() == nullptr;
}

// The reference forms the classes declare (`T::Ref`): the first parameter
// names T's parent class and plays no part in counting, so every reference
// to a T is one type.
template <class Base, class T>
using RefTemplAbstract = KsRef<T>;
template <class Base, class T>
using RefTempl = KsRef<T>;

// Makes a new object and hands it out in a reference that owns it alone.
template <class T, class... Args>
KsRef<T> KsMakeRef(Args&&... args) {
  return KsRef<T>::Adopt(new T(std::forward<Args>(args)...));
}
