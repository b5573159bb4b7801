#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/movfile/MovAtomNode.h"
#include "platform/movfile/MovMetadataItem.h"
#include "platform/movfile/MovUserData.h"

namespace hc::movfile {

// Reads a movie's metadata: the text items of its user data (types starting
// with '\xA9', each holding one or more language strings) and its 'meta' box
// of handler 'mdta' ('keys' and 'ilst'), in the movie header or in the user
// data. Damaged items are skipped; reading never fails.
class MovMetadataReader {
 public:
  static std::vector<MovMetadataItem> Read(const MovAtomNode& moov, const MovUserData& movieUserData);

  // The common key ('auth', 'cmmt', 'name', ...) that an item stands for, or 0.
  static uint32_t CommonKey(const MovMetadataItem& item);

 private:
  static void ReadTextItems(const MovUserData& userData, std::vector<MovMetadataItem>& items);
  static void ReadMetaBox(std::span<const uint8_t> metaPayload, std::vector<MovMetadataItem>& items);
};

}  // namespace hc::movfile
