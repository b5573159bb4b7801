#pragma once

#include <type_traits>

#include "Utilities/HcProperty.h"

// How a value of type T is passed to a typed operation: small values by
// value, records and references by const reference.
template <class T>
using HcParam = std::conditional_t<std::is_arithmetic_v<T> || std::is_pointer_v<T>, T, const T&>;

// A descriptor that overrides the typed operation pair of its value type T;
// the concrete descriptors fill in SetTyped and GetTyped.
template <class T>
class HcTypedProperty : public HcProperty {
 public:
  using HcProperty::GetValue;
  using HcProperty::SetValue;

  eAppErr SetValue(KsObject* target, HcParam<T> value) override { return SetTyped(target, value); }
  eAppErr GetValue(KsObject* target, T* value) override { return GetTyped(target, value); }

 protected:
  virtual eAppErr SetTyped(KsObject* target, HcParam<T> value) = 0;
  virtual eAppErr GetTyped(KsObject* target, T* value) = 0;
};
