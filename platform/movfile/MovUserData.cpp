#include "platform/movfile/MovUserData.h"

#include <algorithm>
#include <optional>

#include "platform/movfile/MovAtomReader.h"
#include "platform/movfile/MovByteWriter.h"

namespace hc::movfile {

MovErr MovUserData::Parse(std::span<const uint8_t> payload, MovUserData& userData) {
  userData = MovUserData();
  userData.present_ = true;
  MovAtomReader reader(payload);
  for (;;) {
    std::optional<MovAtom> atom;
    MovErr err = reader.Next(atom);
    if (err != MovErr::Ok) return err;
    if (!atom) break;
    if (userData.items_.size() >= kMaxItems) return MovErr::SizeLimitExceeded;
    Item item;
    item.type = atom->type;
    item.headerSize = atom->headerSize;
    auto bytes = payload.subspan(static_cast<size_t>(atom->offset), static_cast<size_t>(atom->size));
    item.raw.assign(bytes.begin(), bytes.end());
    if (atom->extendsToEnd) {  // give it a real size so that it stays an item when others follow
      MovByteWriter(item.raw).PatchU32(0, static_cast<uint32_t>(atom->size));
    }
    userData.items_.push_back(std::move(item));
  }
  return MovErr::Ok;
}

size_t MovUserData::CountItems(uint32_t type) const {
  return static_cast<size_t>(
      std::count_if(items_.begin(), items_.end(), [type](const Item& item) { return item.type == type; }));
}

const MovUserData::Item* MovUserData::Find(uint32_t type, size_t ordinal) const {
  if (ordinal == 0) return nullptr;
  for (const auto& item : items_) {
    if (item.type == type && --ordinal == 0) return &item;
  }
  return nullptr;
}

std::span<const uint8_t> MovUserData::ItemPayload(uint32_t type, size_t ordinal) const {
  const Item* item = Find(type, ordinal);
  if (!item) return {};
  return std::span<const uint8_t>(item->raw).subspan(item->headerSize);
}

MovErr MovUserData::GetItem(uint32_t type, size_t ordinal, std::vector<uint8_t>& payload) const {
  const Item* item = Find(type, ordinal);
  if (!item) return MovErr::UserDataItemNotFound;
  payload.assign(item->raw.begin() + item->headerSize, item->raw.end());
  return MovErr::Ok;
}

MovErr MovUserData::AppendItem(uint32_t type, std::span<const uint8_t> payload) {
  if (items_.size() >= kMaxItems) return MovErr::SizeLimitExceeded;
  Item item;
  item.type = type;
  item.headerSize = MovByteWriter::HeaderSizeFor(payload.size());
  MovByteWriter writer(item.raw);
  writer.AtomHeader(type, payload.size() + item.headerSize);
  writer.Bytes(payload);
  items_.push_back(std::move(item));
  present_ = true;
  changed_ = true;
  return MovErr::Ok;
}

MovErr MovUserData::RemoveItem(uint32_t type, size_t ordinal) {
  const Item* item = Find(type, ordinal);
  if (!item) return MovErr::UserDataItemNotFound;
  items_.erase(items_.begin() + (item - items_.data()));
  changed_ = true;
  return MovErr::Ok;
}

size_t MovUserData::RemoveItems(uint32_t type) {
  size_t before = items_.size();
  std::erase_if(items_, [type](const Item& item) { return item.type == type; });
  size_t removed = before - items_.size();
  if (removed > 0) changed_ = true;
  return removed;
}

void MovUserData::SerializePayload(std::vector<uint8_t>& out) const {
  for (const auto& item : items_) out.insert(out.end(), item.raw.begin(), item.raw.end());
}

}  // namespace hc::movfile
