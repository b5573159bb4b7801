#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/movfile/MovErr.h"

namespace hc::movfile {

// The fields of a video sample description: the 86-byte big-endian image
// description (size, codec type, ... depth, clutID) and the extension atoms
// that follow it ('pasp', 'colr', 'avcC', ...).
class MovImageDescription {
 public:
  static constexpr size_t kFixedSize = 86;

  // Reads a raw sample-description entry as found in a track's 'stsd'.
  static MovErr Parse(std::span<const uint8_t> entry, MovImageDescription& description);

  uint32_t CodecType() const { return codecType_; }
  uint16_t Width() const { return width_; }
  uint16_t Height() const { return height_; }
  uint16_t Depth() const { return depth_; }
  int16_t ClutId() const { return clutId_; }

  // Payload of the first extension of a type, or empty.
  std::span<const uint8_t> Extension(uint32_t type) const;
  // Pixel spacing from 'pasp' (horizontal, vertical); false without one.
  bool PixelAspect(uint32_t& horizontalSpacing, uint32_t& verticalSpacing) const;

 private:
  struct ExtensionAtom {
    uint32_t type;
    std::vector<uint8_t> payload;
  };

  uint32_t codecType_ = 0;
  uint16_t width_ = 0;
  uint16_t height_ = 0;
  uint16_t depth_ = 0;
  int16_t clutId_ = 0;
  std::vector<ExtensionAtom> extensions_;
};

}  // namespace hc::movfile
