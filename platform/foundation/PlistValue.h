#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/foundation/FoundationErr.h"

namespace hc::foundation {

// A point in time as seconds since 2001-01-01 00:00:00 UTC.
struct PlistDate {
  double secondsSince2001 = 0;
  friend bool operator==(const PlistDate&, const PlistDate&) = default;
};

// One property-list value: a dictionary, array, string, integer, real, bool,
// data or date, or null (no value). Values nest; copies are deep and equality
// compares the whole tree (dictionaries by key, whatever order keys were set in).
class PlistValue {
 public:
  enum class Type { Null, Dictionary, Array, String, Integer, Real, Bool, Data, Date };

  using DictionaryItems = std::map<std::string, PlistValue, std::less<>>;
  using ArrayItems = std::vector<PlistValue>;
  using DataBytes = std::vector<uint8_t>;

  PlistValue() = default;

  static PlistValue NewDictionary() { return Make<DictionaryItems>({}); }
  static PlistValue NewArray() { return Make<ArrayItems>({}); }
  static PlistValue FromString(std::string text) { return Make<std::string>(std::move(text)); }
  static PlistValue FromInteger(int64_t value) { return Make<int64_t>(value); }
  static PlistValue FromReal(double value) { return Make<double>(value); }
  static PlistValue FromBool(bool value) { return Make<bool>(value); }
  static PlistValue FromData(DataBytes bytes) { return Make<DataBytes>(std::move(bytes)); }
  // A null source with a non-zero length gives a null value.
  static PlistValue FromData(const void* bytes, size_t length);
  static PlistValue FromDate(PlistDate date) { return Make<PlistDate>(date); }

  Type GetType() const { return static_cast<Type>(m_value.index()); }
  bool IsNull() const { return GetType() == Type::Null; }

  // Each answers the content when the value is of that type, else nullptr.
  const DictionaryItems* AsDictionary() const { return std::get_if<DictionaryItems>(&m_value); }
  DictionaryItems* AsDictionary() { return std::get_if<DictionaryItems>(&m_value); }
  const ArrayItems* AsArray() const { return std::get_if<ArrayItems>(&m_value); }
  ArrayItems* AsArray() { return std::get_if<ArrayItems>(&m_value); }
  const std::string* AsString() const { return std::get_if<std::string>(&m_value); }
  const int64_t* AsInteger() const { return std::get_if<int64_t>(&m_value); }
  const double* AsReal() const { return std::get_if<double>(&m_value); }
  const bool* AsBool() const { return std::get_if<bool>(&m_value); }
  const DataBytes* AsData() const { return std::get_if<DataBytes>(&m_value); }
  const PlistDate* AsDate() const { return std::get_if<PlistDate>(&m_value); }

  // Dictionary access. SetItem replaces an existing key; BadArgument when this
  // is no dictionary. GetItem answers nullptr for a missing key or a non-dictionary.
  FoundationErr SetItem(std::string_view key, PlistValue value);
  const PlistValue* GetItem(std::string_view key) const;
  // Array access. BadArgument when this is no array.
  FoundationErr Append(PlistValue value);
  // Number of items of a dictionary or array; 0 for every other type.
  size_t GetCount() const;

  friend bool operator==(const PlistValue&, const PlistValue&) = default;

 private:
  // The alternatives follow the order of Type.
  using Storage = std::variant<std::monostate, DictionaryItems, ArrayItems, std::string, int64_t,
                               double, bool, DataBytes, PlistDate>;

  template <class T>
  static PlistValue Make(T value) {
    PlistValue made;
    made.m_value.emplace<T>(std::move(value));
    return made;
  }

  Storage m_value;
};

}  // namespace hc::foundation
