#pragma once

#include <memory>

#include "PWString.h"

namespace hc::foundation {
class PlistValue;
}

// A property-list value as properties carry it: immutable and shared; a
// default-constructed value is null ("no value").
class KsPropertyList {
 public:
  KsPropertyList() = default;
  explicit KsPropertyList(std::shared_ptr<const hc::foundation::PlistValue> value) : m_value(std::move(value)) {}

  bool IsNull() const { return !m_value; }
  explicit operator bool() const { return m_value != nullptr; }
  const std::shared_ptr<const hc::foundation::PlistValue>& Value() const { return m_value; }

  // Same underlying value (or both null).
  friend bool operator==(const KsPropertyList& a, const KsPropertyList& b) { return a.m_value == b.m_value; }

 private:
  std::shared_ptr<const hc::foundation::PlistValue> m_value;
};
