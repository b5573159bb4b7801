#include "installer/Source/PropertyList.h"

#include <plist/plist.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace hc::installer {

namespace {

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistFree>;

std::string takeCString(char* text) {
  std::string result = text ? text : "";
  std::free(text);
  return result;
}

}  // namespace

// Converts libplist nodes into PropertyList values.
class PropertyListBuilder {
 public:
  static std::optional<PropertyList> build(plist_t node, int depth) {
    if (!node || depth > PropertyList::kMaxDepth) return std::nullopt;
    PropertyList value;
    switch (plist_get_node_type(node)) {
      case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        value.type_ = PropertyList::Type::Boolean;
        value.integer_ = flag ? 1 : 0;
        return value;
      }
      case PLIST_UINT: {
        uint64_t number = 0;
        plist_get_uint_val(node, &number);
        value.type_ = PropertyList::Type::Integer;
        value.integer_ = static_cast<std::int64_t>(number);
        return value;
      }
      case PLIST_REAL:
        value.type_ = PropertyList::Type::Real;
        plist_get_real_val(node, &value.real_);
        return value;
      case PLIST_STRING:
      case PLIST_KEY: {
        char* text = nullptr;
        plist_get_string_val(node, &text);
        value.type_ = PropertyList::Type::String;
        value.text_ = takeCString(text);
        return value;
      }
      case PLIST_DATE: {
        int32_t seconds = 0, microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        value.type_ = PropertyList::Type::Date;
        value.integer_ = seconds;
        return value;
      }
      case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        value.type_ = PropertyList::Type::Data;
        if (bytes) value.text_.assign(bytes, length);
        std::free(bytes);
        return value;
      }
      case PLIST_ARRAY:
        return buildArray(node, depth);
      case PLIST_DICT:
        return buildDictionary(node, depth);
      default:
        return std::nullopt;
    }
  }

 private:
  static std::optional<PropertyList> buildArray(plist_t node, int depth) {
    PropertyList value;
    value.type_ = PropertyList::Type::Array;
    const uint32_t count = plist_array_get_size(node);
    for (uint32_t i = 0; i < count; ++i) {
      auto element = build(plist_array_get_item(node, i), depth + 1);
      if (!element) return std::nullopt;
      value.values_.push_back(std::move(*element));
    }
    return value;
  }

  static std::optional<PropertyList> buildDictionary(plist_t node, int depth) {
    PropertyList value;
    value.type_ = PropertyList::Type::Dictionary;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    if (!iterator) return value;
    for (;;) {
      char* key = nullptr;
      plist_t child = nullptr;
      plist_dict_next_item(node, iterator, &key, &child);
      if (!child) {
        std::free(key);
        break;
      }
      std::string name = takeCString(key);
      auto element = build(child, depth + 1);
      if (!element) {
        std::free(iterator);
        return std::nullopt;
      }
      value.keys_.push_back(std::move(name));
      value.values_.push_back(std::move(*element));
    }
    std::free(iterator);
    return value;
  }
};

std::optional<PropertyList> PropertyList::fromBytes(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kMaxBytes) return std::nullopt;
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  PlistHandle handle(root);
  if (!root) return std::nullopt;
  return PropertyListBuilder::build(root, 0);
}

std::optional<PropertyList> PropertyList::fromFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes;
  char block[8192];
  while (file.read(block, sizeof block) || file.gcount() > 0) {
    bytes.append(block, static_cast<std::size_t>(file.gcount()));
    if (bytes.size() > kMaxBytes) return std::nullopt;
  }
  if (file.bad()) return std::nullopt;
  return fromBytes(bytes);
}

const std::string* PropertyList::stringValue() const {
  return type_ == Type::String ? &text_ : nullptr;
}

const PropertyList* PropertyList::get(std::string_view key) const {
  if (type_ != Type::Dictionary) return nullptr;
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i] == key) return &values_[i];
  }
  return nullptr;
}

const std::string* PropertyList::stringAt(std::string_view key) const {
  const PropertyList* entry = get(key);
  return entry ? entry->stringValue() : nullptr;
}

}  // namespace hc::installer
