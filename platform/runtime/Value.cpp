#include "platform/runtime/Value.h"

namespace hc::runtime {

bool Value::IsObjectLike() const {
  switch (GetType()) {
    case Type::kObject:
    case Type::kString:
    case Type::kColor:
    case Type::kPropertyList:
    case Type::kArray:
    case Type::kChange: return true;
    default: return false;
  }
}

bool Value::IsNumber() const {
  switch (GetType()) {
    case Type::kBool:
    case Type::kInt:
    case Type::kUInt:
    case Type::kInt64:
    case Type::kFloat:
    case Type::kDouble: return true;
    default: return false;
  }
}

Id Value::GetObject() const {
  const ObjectRef* ref = std::get_if<11>(&m_storage);
  return ref ? ref->Get() : nullptr;
}

ObjectRef Value::GetObjectRef() const {
  const ObjectRef* ref = std::get_if<11>(&m_storage);
  return ref ? *ref : ObjectRef();
}

const std::string& Value::GetString() const {
  static const std::string empty;
  const std::string* text = std::get_if<12>(&m_storage);
  return text ? *text : empty;
}

const ValueArray& Value::GetArray() const {
  static const ValueArray empty;
  const auto* array = std::get_if<15>(&m_storage);
  return array && *array ? **array : empty;
}

const KeyValueChange& Value::GetChange() const {
  static const KeyValueChange none;
  const auto* change = std::get_if<16>(&m_storage);
  return change && *change ? **change : none;
}

double Value::NumberAsDouble() const {
  switch (GetType()) {
    case Type::kBool: return GetBool() ? 1.0 : 0.0;
    case Type::kInt: return GetInt();
    case Type::kUInt: return GetUInt();
    case Type::kInt64: return static_cast<double>(GetInt64());
    case Type::kFloat: return GetFloat();
    case Type::kDouble: return GetDouble();
    default: return 0.0;
  }
}

int64_t Value::NumberAsInt64() const {
  switch (GetType()) {
    case Type::kBool: return GetBool() ? 1 : 0;
    case Type::kInt: return GetInt();
    case Type::kUInt: return GetUInt();
    case Type::kInt64: return GetInt64();
    case Type::kFloat:
    case Type::kDouble: {
      // Out-of-range and non-finite numbers give 0 instead of undefined behaviour.
      const double d = NumberAsDouble();
      if (!(d > -9.2e18 && d < 9.2e18)) return 0;
      return static_cast<int64_t>(d);
    }
    default: return 0;
  }
}

bool operator==(const Value& a, const Value& b) {
  if (a.GetType() != b.GetType()) return false;
  switch (a.GetType()) {
    case Value::Type::kArray: return a.GetArray() == b.GetArray();
    case Value::Type::kChange: return a.GetChange() == b.GetChange();
    default: return a.m_storage == b.m_storage;
  }
}

}  // namespace hc::runtime
