#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/movfile/MovErr.h"
#include "platform/movfile/MovMetadataItem.h"
#include "platform/movfile/MovUserData.h"

namespace hc::movfile {

// Reads a movie's metadata: the text items of its user data (types starting
// with '\xA9', each holding one or more language strings) and its 'meta' box
// of handler 'mdta' ('keys' and 'ilst'), in the movie header or in the user
// data. Damaged items are skipped. A movie with more items than the layer
// accepts is refused whole (SizeLimitExceeded) rather than listed in part.
class MovMetadataReader {
 public:
  static constexpr size_t kMaxItems = 1u << 16;
  // Bytes of keys and values together: a key name is copied into each of its items.
  static constexpr size_t kMaxItemBytes = size_t{64} << 20;

  // `moovMeta`: the payload of the movie header's own 'meta' atom, if any.
  static MovErr Read(std::span<const uint8_t> moovMeta, const MovUserData& movieUserData,
                     std::vector<MovMetadataItem>& items);

  // The common key ('auth', 'cmmt', 'name', ...) that an item stands for, or 0.
  static uint32_t CommonKey(const MovMetadataItem& item);

 private:
  struct Budget;
  static MovErr ReadTextItems(const MovUserData& userData, Budget& budget, std::vector<MovMetadataItem>& items);
  static MovErr ReadMetaBox(std::span<const uint8_t> metaPayload, Budget& budget,
                            std::vector<MovMetadataItem>& items);
};

}  // namespace hc::movfile
