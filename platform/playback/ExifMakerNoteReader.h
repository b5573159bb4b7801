#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/playback/PlaybackErr.h"

namespace hc::playback {

// Reads the EXIF maker note (tag 0x927C) of a still image with libexif: from
// a JPEG's APP1 "Exif" segment, a PNG's eXIf chunk or a TIFF file's own
// directories. The note's bytes are handed back as they are stored.
class ExifMakerNoteReader {
 public:
  // The type of the metadata item that carries the note: 'e', 'x', then the tag.
  static constexpr uint32_t kMetadataItemType = 0x6578927C;

  // UserDataItemNotFound when the image has no EXIF data or no maker note;
  // CodecNotFound for an image type that carries no EXIF data (BMP).
  static PlaybackErr Read(uint32_t codecType, std::span<const uint8_t> fileBytes, std::vector<uint8_t>& note);

  // The EXIF block ("Exif\0\0" and a TIFF header) of an image, or empty.
  static std::vector<uint8_t> FindExifBlock(uint32_t codecType, std::span<const uint8_t> fileBytes);
};

}  // namespace hc::playback
