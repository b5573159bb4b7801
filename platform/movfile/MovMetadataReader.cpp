#include "platform/movfile/MovMetadataReader.h"

#include <new>
#include <optional>
#include <string_view>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::movfile {
namespace {

constexpr size_t kMaxKeys = 1u << 16;

struct CommonKeyName {
  uint32_t common;
  uint32_t textItem;
  std::string_view metadataKey;
};

constexpr CommonKeyName kCommonKeys[] = {
    {MovFourCC("auth"), MovFourCC("\xA9" "aut"), "com.apple.quicktime.author"},
    {MovFourCC("cmmt"), MovFourCC("\xA9" "cmt"), "com.apple.quicktime.comment"},
    {MovFourCC("cprt"), MovFourCC("\xA9" "cpy"), "com.apple.quicktime.copyright"},
    {MovFourCC("dtor"), MovFourCC("\xA9" "dir"), "com.apple.quicktime.director"},
    {MovFourCC("name"), MovFourCC("\xA9" "nam"), "com.apple.quicktime.displayname"},
    {MovFourCC("info"), MovFourCC("\xA9" "inf"), "com.apple.quicktime.information"},
    {MovFourCC("keyw"), MovFourCC("\xA9" "key"), "com.apple.quicktime.keywords"},
    {MovFourCC("prod"), MovFourCC("\xA9" "prd"), "com.apple.quicktime.producer"},
    {MovFourCC("albm"), MovFourCC("\xA9" "alb"), "com.apple.quicktime.album"},
    {MovFourCC("arts"), MovFourCC("\xA9" "ART"), "com.apple.quicktime.artist"},
    {MovFourCC("artw"), 0, "com.apple.quicktime.artwork"},
    {MovFourCC("chap"), MovFourCC("\xA9" "chp"), ""},
    {MovFourCC("comp"), MovFourCC("\xA9" "com"), "com.apple.quicktime.composer"},
    {MovFourCC("desc"), MovFourCC("\xA9" "des"), "com.apple.quicktime.description"},
    {MovFourCC("genr"), MovFourCC("\xA9" "gen"), "com.apple.quicktime.genre"},
    {MovFourCC("orif"), MovFourCC("\xA9" "fmt"), "com.apple.quicktime.originalformat"},
    {MovFourCC("oris"), MovFourCC("\xA9" "src"), "com.apple.quicktime.originalsource"},
    {MovFourCC("perf"), MovFourCC("\xA9" "prf"), "com.apple.quicktime.performers"},
    {MovFourCC("soft"), MovFourCC("\xA9" "swr"), "com.apple.quicktime.software"},
    {MovFourCC("wrtr"), MovFourCC("\xA9" "wrt"), "com.apple.quicktime.writer"},
};

uint32_t CodeOf(const std::vector<uint8_t>& key) {
  if (key.size() != 4) return 0;
  return (uint32_t{key[0]} << 24) | (uint32_t{key[1]} << 16) | (uint32_t{key[2]} << 8) | key[3];
}

std::vector<uint8_t> KeyBytes(uint32_t code) {
  return {static_cast<uint8_t>(code >> 24), static_cast<uint8_t>(code >> 16), static_cast<uint8_t>(code >> 8),
          static_cast<uint8_t>(code)};
}

// A 'meta' box is a plain atom in a movie header and a full box (version and
// flags first) in user data; its first child, 'hdlr', tells which.
std::span<const uint8_t> MetaChildren(std::span<const uint8_t> payload) {
  if (payload.size() >= 8 && CodeOf({payload[4], payload[5], payload[6], payload[7]}) == MovFourCC("hdlr")) {
    return payload;
  }
  return payload.size() >= 4 ? payload.subspan(4) : std::span<const uint8_t>{};
}

}  // namespace

struct MovMetadataReader::Budget {
  size_t items = 0;
  size_t bytes = 0;
  // Whether one more item of `size` bytes fits.
  bool Take(size_t size) {
    if (items >= kMaxItems || size > kMaxItemBytes - bytes) return false;
    ++items;
    bytes += size;
    return true;
  }
};

MovErr MovMetadataReader::Read(std::span<const uint8_t> moovMeta, const MovUserData& movieUserData,
                               std::vector<MovMetadataItem>& items) {
  items.clear();
  Budget budget;
  try {
    MovErr err = ReadTextItems(movieUserData, budget, items);
    if (err == MovErr::Ok && !moovMeta.empty()) err = ReadMetaBox(moovMeta, budget, items);
    for (size_t index = 0; index < movieUserData.ItemCount() && err == MovErr::Ok; ++index) {
      if (movieUserData.ItemTypeAt(index) == MovFourCC("meta")) {
        err = ReadMetaBox(movieUserData.ItemPayloadAt(index), budget, items);
      }
    }
    if (err != MovErr::Ok) items.clear();
    return err;
  } catch (const std::bad_alloc&) {
    items.clear();
    return MovErr::OutOfMemory;
  }
}

MovErr MovMetadataReader::ReadTextItems(const MovUserData& userData, Budget& budget,
                                        std::vector<MovMetadataItem>& items) {
  for (size_t index = 0; index < userData.ItemCount(); ++index) {
    uint32_t type = userData.ItemTypeAt(index);
    if ((type >> 24) != 0xA9) continue;
    MovByteReader reader(userData.ItemPayloadAt(index));
    while (reader.Remaining() >= 4) {
      uint16_t length = reader.U16();
      uint16_t language = reader.U16();
      auto text = reader.Bytes(length);
      if (!reader.Ok()) break;
      if (!budget.Take(4 + text.size())) return MovErr::SizeLimitExceeded;
      MovMetadataItem item;
      item.keyFormat = MovMetadataItem::kUserDataKeys;
      item.key = KeyBytes(type);
      // Language codes below 0x400 are Mac codes with Mac-encoded text;
      // packed ISO 639 codes come with UTF-8.
      item.dataType = language < 0x400 ? MovMetadataItem::kMacText : MovMetadataItem::kUtf8;
      item.locale = language;
      item.value.assign(text.begin(), text.end());
      items.push_back(std::move(item));
    }
  }
  return MovErr::Ok;
}

MovErr MovMetadataReader::ReadMetaBox(std::span<const uint8_t> metaPayload, Budget& budget,
                                      std::vector<MovMetadataItem>& items) {
  auto children = MetaChildren(metaPayload);
  std::span<const uint8_t> hdlr;
  std::span<const uint8_t> keys;
  std::span<const uint8_t> ilst;
  MovAtomReader reader(children);
  for (;;) {
    std::optional<MovAtom> atom;
    if (reader.Next(atom) != MovErr::Ok || !atom) break;
    if (atom->type == MovFourCC("hdlr")) hdlr = reader.Payload(*atom);
    if (atom->type == MovFourCC("keys")) keys = reader.Payload(*atom);
    if (atom->type == MovFourCC("ilst")) ilst = reader.Payload(*atom);
  }
  MovByteReader handler(hdlr);
  handler.Skip(8);
  if (handler.U32() != MovFourCC("mdta")) return MovErr::Ok;

  std::vector<std::vector<uint8_t>> names;
  MovByteReader keyReader(keys);
  keyReader.U32();
  uint32_t keyCount = keyReader.U32();
  for (uint32_t i = 0; i < keyCount && i < kMaxKeys && keyReader.Ok(); ++i) {
    uint32_t size = keyReader.U32();
    keyReader.U32();  // namespace, 'mdta'
    auto name = keyReader.Bytes(size >= 8 ? size - 8 : 0);
    if (!keyReader.Ok() || size < 8) break;
    names.emplace_back(name.begin(), name.end());
  }

  MovAtomReader entries(ilst);
  for (;;) {
    std::optional<MovAtom> entry;
    if (entries.Next(entry) != MovErr::Ok || !entry) break;
    if (entry->type == 0 || entry->type > names.size()) continue;
    MovAtomReader values(entries.Payload(*entry));
    for (;;) {
      std::optional<MovAtom> data;
      if (values.Next(data) != MovErr::Ok || !data) break;
      if (data->type != MovFourCC("data")) continue;
      MovByteReader value(values.Payload(*data));
      MovMetadataItem item;
      item.keyFormat = MovMetadataItem::kMetadataKeys;
      item.dataType = value.U32() & 0x00FFFFFF;
      item.locale = value.U32();
      auto bytes = value.Bytes(value.Remaining());
      if (!value.Ok()) continue;
      const std::vector<uint8_t>& name = names[entry->type - 1];
      if (!budget.Take(name.size() + bytes.size())) return MovErr::SizeLimitExceeded;
      item.key = name;
      item.value.assign(bytes.begin(), bytes.end());
      items.push_back(std::move(item));
    }
  }
  return MovErr::Ok;
}

uint32_t MovMetadataReader::CommonKey(const MovMetadataItem& item) {
  for (const auto& names : kCommonKeys) {
    if (item.keyFormat == MovMetadataItem::kUserDataKeys && names.textItem != 0 &&
        CodeOf(item.key) == names.textItem) {
      return names.common;
    }
    if (item.keyFormat == MovMetadataItem::kMetadataKeys && !names.metadataKey.empty() &&
        std::string_view(reinterpret_cast<const char*>(item.key.data()), item.key.size()) == names.metadataKey) {
      return names.common;
    }
  }
  return 0;
}

}  // namespace hc::movfile
