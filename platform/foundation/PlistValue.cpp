#include "platform/foundation/PlistValue.h"

namespace hc::foundation {

PlistValue PlistValue::FromData(const void* bytes, size_t length) {
  const auto* first = static_cast<const uint8_t*>(bytes);
  if (!first) return length == 0 ? FromData(DataBytes{}) : PlistValue();
  return FromData(DataBytes(first, first + length));
}

FoundationErr PlistValue::SetItem(std::string_view key, PlistValue value) {
  DictionaryItems* items = AsDictionary();
  if (!items) return FoundationErr::BadArgument;
  auto found = items->find(key);
  if (found != items->end()) {
    found->second = std::move(value);
  } else {
    items->emplace(std::string(key), std::move(value));
  }
  return FoundationErr::Ok;
}

const PlistValue* PlistValue::GetItem(std::string_view key) const {
  const DictionaryItems* items = AsDictionary();
  if (!items) return nullptr;
  auto found = items->find(key);
  return found == items->end() ? nullptr : &found->second;
}

FoundationErr PlistValue::Append(PlistValue value) {
  ArrayItems* items = AsArray();
  if (!items) return FoundationErr::BadArgument;
  items->push_back(std::move(value));
  return FoundationErr::Ok;
}

size_t PlistValue::GetCount() const {
  if (const DictionaryItems* items = AsDictionary()) return items->size();
  if (const ArrayItems* items = AsArray()) return items->size();
  return 0;
}

}  // namespace hc::foundation
