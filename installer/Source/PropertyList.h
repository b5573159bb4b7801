#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hc::installer {

// A property-list value read through libplist (XML or binary form) into a
// tree of our own, so that callers never hold libplist nodes.
class PropertyList {
 public:
  enum class Type { Boolean, Integer, Real, String, Date, Data, Array, Dictionary };

  // Largest property list the installer reads, in bytes.
  static constexpr std::size_t kMaxBytes = 4 * 1024 * 1024;
  // Deepest nesting of arrays and dictionaries accepted.
  static constexpr int kMaxDepth = 64;

  // Parses a property list held in memory; none when it is not one or is
  // nested too deeply.
  static std::optional<PropertyList> fromBytes(std::string_view bytes);
  // Reads and parses a file; none when it cannot be read or parsed.
  static std::optional<PropertyList> fromFile(const std::string& path);

  Type type() const { return type_; }
  bool isDictionary() const { return type_ == Type::Dictionary; }

  // The text of a string value, else none.
  const std::string* stringValue() const;
  // The dictionary entry named key, else none (also when this is no dictionary).
  const PropertyList* get(std::string_view key) const;
  // The string entry named key, else none.
  const std::string* stringAt(std::string_view key) const;
  // The elements of an array (empty for other types).
  const std::vector<PropertyList>& items() const { return values_; }

 private:
  friend class PropertyListBuilder;
  PropertyList() = default;

  Type type_ = Type::String;
  std::string text_;                 // string, and data bytes
  std::int64_t integer_ = 0;         // integer, boolean, date (seconds)
  double real_ = 0.0;
  std::vector<std::string> keys_;    // dictionary keys, parallel to values_
  std::vector<PropertyList> values_; // array elements or dictionary values
};

}  // namespace hc::installer
