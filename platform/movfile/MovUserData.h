#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// The items of one user-data atom (a movie's or a track's 'udta'), in file
// order. Items are counted, read and removed per type with ordinals from 1.
// Every item keeps the bytes it was read with, so items that are not touched
// are written back byte for byte and in their order. A trailing 32-bit zero
// terminator is accepted on reading and never written.
class MovUserData {
 public:
  // Items the layer accepts in one user data.
  static constexpr size_t kMaxItems = 1u << 16;

  // Reads a 'udta' payload (without its header).
  static MovErr Parse(std::span<const uint8_t> payload, MovUserData& userData);

  // Whether the movie or track had a 'udta' atom, or has one since an item
  // was added. A user data that is absent reads as having no items.
  bool IsPresent() const { return present_; }
  void MarkPresent() { present_ = true; }

  size_t ItemCount() const { return items_.size(); }
  // Type of the index-th item (from 0) in file order.
  uint32_t ItemTypeAt(size_t index) const { return items_[index].type; }
  std::span<const uint8_t> ItemPayloadAt(size_t index) const {
    return std::span<const uint8_t>(items_[index].raw).subspan(items_[index].headerSize);
  }

  size_t CountItems(uint32_t type) const;
  // Payload of the ordinal-th item (from 1) of a type, or UserDataItemNotFound.
  MovErr GetItem(uint32_t type, size_t ordinal, std::vector<uint8_t>& payload) const;
  std::span<const uint8_t> ItemPayload(uint32_t type, size_t ordinal) const;
  // Appends an item after every other item.
  MovErr AppendItem(uint32_t type, std::span<const uint8_t> payload);
  // Removes the ordinal-th item of a type, or answers UserDataItemNotFound.
  MovErr RemoveItem(uint32_t type, size_t ordinal);
  // Removes every item of a type; answers how many there were.
  size_t RemoveItems(uint32_t type);

  // The 'udta' payload as it is to be written (no terminator).
  void SerializePayload(std::vector<uint8_t>& out) const;
  bool IsChanged() const { return changed_; }
  void ClearChanged() { changed_ = false; }

 private:
  struct Item {
    uint32_t type = 0;
    uint32_t headerSize = 8;
    std::vector<uint8_t> raw;  // header and payload
  };
  const Item* Find(uint32_t type, size_t ordinal) const;

  std::vector<Item> items_;
  bool present_ = false;
  bool changed_ = false;
};

}  // namespace hc::movfile
