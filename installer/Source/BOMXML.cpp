#include "installer/Source/BOMXML.h"

#include "installer/Source/PropertyList.h"

#include <cctype>
#include <charconv>

namespace hc::installer {

namespace {

// The attribute template as the program carries it.
constexpr std::string_view kFileAttributesPlist = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>array</key>
  <array>
    <dict><key>key</key><string>relativepath</string><key>type</key><string>NSString</string></dict>
    <dict><key>key</key><string>packagepath</string><key>type</key><string>NSString</string></dict>
    <dict><key>key</key><string>operation</string><key>type</key><string>NSString</string></dict>
    <dict><key>key</key><string>location</string><key>type</key><string>NSString</string></dict>
    <dict><key>key</key><string>permissions</string><key>type</key><string>NSNumber</string><key>format</key><string>%d</string></dict>
    <dict><key>key</key><string>createdate</string><key>type</key><string>NSCalendarDate</string><key>format</key><string>%Y-%m-%d %H:%M:%S %z</string></dict>
    <dict><key>key</key><string>modifydate</string><key>type</key><string>NSCalendarDate</string><key>format</key><string>%Y-%m-%d %H:%M:%S %z</string></dict>
    <dict><key>key</key><string>size</string><key>type</key><string>NSNumber</string><key>format</key><string>%d</string></dict>
    <dict><key>key</key><string>fingerprint</string><key>type</key><string>NSString</string></dict>
    <dict><key>key</key><string>fingerprinttype</string><key>type</key><string>NSString</string></dict>
    <dict><key>key</key><string>link</string><key>type</key><string>NSString</string></dict>
    <dict><key>key</key><string>filetype</string><key>type</key><string>NSString</string></dict>
  </array>
</dict>
</plist>
)";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A decimal number of up to 64 bits; text that is not one (a sign, other
// characters, an overflow) gives none, so the attribute reads as absent.
std::optional<std::uint64_t> parseNumber(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool takeDigits(std::string_view& text, int count, int& value) {
  if (text.size() < static_cast<std::size_t>(count)) return false;
  value = 0;
  for (int i = 0; i < count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
  }
  text.remove_prefix(count);
  return true;
}

bool takeChar(std::string_view& text, char expected) {
  if (text.empty() || text.front() != expected) return false;
  text.remove_prefix(1);
  return true;
}

std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

// A date in the format "%Y-%m-%d %H:%M:%S %z" (e.g. "2008-03-01 12:30:00 +0100").
std::optional<BomDate> parseDate(std::string_view text) {
  text = trimmed(text);
  int year, month, day, hour, minute, second, zoneHours, zoneMinutes;
  if (!takeDigits(text, 4, year) || !takeChar(text, '-') || !takeDigits(text, 2, month) ||
      !takeChar(text, '-') || !takeDigits(text, 2, day) || !takeChar(text, ' ') ||
      !takeDigits(text, 2, hour) || !takeChar(text, ':') || !takeDigits(text, 2, minute) ||
      !takeChar(text, ':') || !takeDigits(text, 2, second) || !takeChar(text, ' ') || text.empty()) {
    return std::nullopt;
  }
  const char sign = text.front();
  text.remove_prefix(1);
  if ((sign != '+' && sign != '-') || !takeDigits(text, 2, zoneHours) ||
      !takeDigits(text, 2, zoneMinutes) || !text.empty()) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
    return std::nullopt;
  }
  const std::int64_t offset = (zoneHours * 3600 + zoneMinutes * 60) * (sign == '-' ? -1 : 1);
  const std::int64_t seconds = daysFromCivil(year, static_cast<unsigned>(month),
                                             static_cast<unsigned>(day)) * 86400 +
                               hour * 3600 + minute * 60 + second - offset;
  return BomDate{seconds};
}

std::string openingTag(std::string_view name) { return "<" + std::string(name) + ">"; }
std::string closingTag(std::string_view name) { return "</" + std::string(name) + ">"; }

// The text between the first opening tag of name and the first closing tag
// after it; none when either is missing.
std::optional<std::string_view> elementText(std::string_view text, std::string_view name,
                                            std::size_t* afterClosing = nullptr) {
  const std::string opening = openingTag(name);
  const std::size_t start = text.find(opening);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t valueStart = start + opening.size();
  const std::string closing = closingTag(name);
  const std::size_t end = text.find(closing, valueStart);
  if (end == std::string_view::npos) return std::nullopt;
  if (afterClosing) *afterClosing = end + closing.size();
  return text.substr(valueStart, end - valueStart);
}

}  // namespace

const std::vector<BOMXML::Attribute>& BOMXML::_kscatalog_fileAttributes() {
  static const std::vector<Attribute> attributes = [] {
    std::vector<Attribute> result;
    auto plist = PropertyList::fromBytes(kFileAttributesPlist);
    const PropertyList* array = plist ? plist->get("array") : nullptr;
    if (!array) return result;
    for (const PropertyList& element : array->items()) {
      const std::string* key = element.stringAt("key");
      const std::string* type = element.stringAt("type");
      const std::string* format = element.stringAt("format");
      if (!key || !type) continue;
      result.push_back({*key, *type, format ? *format : std::string()});
    }
    return result;
  }();
  return attributes;
}

BomEntry BOMXML::_kscatalog_fileDictionary(std::string_view block) {
  BomEntry entry;
  for (const Attribute& attribute : _kscatalog_fileAttributes()) {
    auto text = elementText(block, attribute.key);
    if (!text) continue;
    if (attribute.type == "NSNumber") {
      if (auto number = parseNumber(*text)) entry[attribute.key] = *number;
    } else if (attribute.type == "NSCalendarDate") {
      if (auto date = parseDate(*text)) entry[attribute.key] = *date;
    } else {
      entry[attribute.key] = std::string(*text);
    }
  }
  return entry;
}

std::optional<std::vector<BomEntry>> BOMXML::_kscatalog_parseWithRootEntity(std::string_view text,
                                                                           std::string_view root) {
  auto body = elementText(text, root);
  if (!body) return std::nullopt;
  std::vector<BomEntry> entries;
  std::string_view rest = *body;
  for (;;) {
    std::size_t after = 0;
    auto block = elementText(rest, "file", &after);
    if (!block) return entries;
    entries.push_back(_kscatalog_fileDictionary(*block));
    rest.remove_prefix(after);
  }
}

std::optional<std::vector<BomEntry>> BOMXML::billOfMaterials(std::string_view text) {
  return _kscatalog_parseWithRootEntity(text, "billofmaterials");
}

std::optional<std::vector<BomEntry>> BOMXML::catalog(std::string_view text) {
  return _kscatalog_parseWithRootEntity(text, "catalog");
}

const std::string* BOMXML::stringValue(const BomEntry& entry, const std::string& key) {
  auto found = entry.find(key);
  if (found == entry.end()) return nullptr;
  return std::get_if<std::string>(&found->second);
}

std::optional<std::uint64_t> BOMXML::numberValue(const BomEntry& entry, const std::string& key) {
  auto found = entry.find(key);
  if (found == entry.end()) return std::nullopt;
  if (auto number = std::get_if<std::uint64_t>(&found->second)) return *number;
  return std::nullopt;
}

}  // namespace hc::installer
