#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace hc::installer {

// A calendar date attribute, as seconds since 1970 in UTC.
struct BomDate {
  std::int64_t secondsSince1970 = 0;
  bool operator==(const BomDate&) const = default;
};

// One attribute value of a file entry: text, a number or a date.
using BomValue = std::variant<std::string, std::uint64_t, BomDate>;
// One "<file>" block of a bill of materials or catalog, keyed by attribute.
using BomEntry = std::map<std::string, BomValue>;

// Reader of bills of materials and catalogs: small XML-like texts read by
// plain text search (no attributes, entities, comments or declarations).
class BOMXML {
 public:
  // One element of the attribute template: the tag, its value type
  // ("NSString", "NSNumber" or "NSCalendarDate") and the number or date format.
  struct Attribute {
    std::string key;
    std::string type;
    std::string format;
  };

  // Largest bill of materials or catalog read, in bytes.
  static constexpr std::size_t kMaxBytes = 64 * 1024 * 1024;

  // The entries under the root "billofmaterials"; none when the text has no
  // such root element.
  static std::optional<std::vector<BomEntry>> billOfMaterials(std::string_view text);
  // The entries under the root "catalog"; none without that root element.
  static std::optional<std::vector<BomEntry>> catalog(std::string_view text);

  // The common reader behind the two.
  static std::optional<std::vector<BomEntry>> _kscatalog_parseWithRootEntity(
      std::string_view text, std::string_view root);
  // The entry of one "<file>" block's text.
  static BomEntry _kscatalog_fileDictionary(std::string_view block);
  // The attribute template, read once from the property list held here.
  static const std::vector<Attribute>& _kscatalog_fileAttributes();

  // A text attribute of an entry, else none.
  static const std::string* stringValue(const BomEntry& entry, const std::string& key);
  // A number attribute of an entry, else none.
  static std::optional<std::uint64_t> numberValue(const BomEntry& entry, const std::string& key);
};

}  // namespace hc::installer
