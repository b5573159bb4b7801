#include "platform/playback/ExifMakerNoteReader.h"

#include <libexif/exif-data.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::playback {

using movfile::MovFourCC;

namespace {

constexpr uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
// libexif reads at most one APP1 segment's worth of EXIF data.
constexpr size_t kMaxExifBytes = 0xFFFF;

std::vector<uint8_t> WithExifHeader(std::span<const uint8_t> tiffBytes) {
  const size_t length = std::min(tiffBytes.size(), kMaxExifBytes - sizeof kExifHeader);
  std::vector<uint8_t> block(sizeof kExifHeader + length);
  std::memcpy(block.data(), kExifHeader, sizeof kExifHeader);
  if (length > 0) std::memcpy(block.data() + sizeof kExifHeader, tiffBytes.data(), length);
  return block;
}

bool HasExifHeader(std::span<const uint8_t> payload) {
  return payload.size() > sizeof kExifHeader && std::memcmp(payload.data(), kExifHeader, sizeof kExifHeader) == 0;
}

// Walks the marker segments before the image data for an APP1 "Exif" segment.
std::vector<uint8_t> ExifOfJpeg(std::span<const uint8_t> bytes) {
  constexpr uint8_t kApp1 = 0xE1, kStartOfScan = 0xDA, kEndOfImage = 0xD9;
  size_t at = 2;
  while (at + 4 <= bytes.size()) {
    if (bytes[at] != 0xFF) break;
    const uint8_t marker = bytes[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // segments without a length
      at += 2;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage) break;
    const size_t length = (size_t{bytes[at + 2]} << 8) | bytes[at + 3];
    if (length < 2 || length > bytes.size() - at - 2) break;
    auto payload = bytes.subspan(at + 4, length - 2);
    if (marker == kApp1 && HasExifHeader(payload)) return std::vector<uint8_t>(payload.begin(), payload.end());
    at += 2 + length;
  }
  return {};
}

std::vector<uint8_t> ExifOfPng(std::span<const uint8_t> bytes) {
  constexpr size_t kSignatureSize = 8;
  if (bytes.size() < kSignatureSize) return {};
  movfile::MovByteReader reader(bytes.subspan(kSignatureSize));
  while (reader.Remaining() >= 12) {
    const uint32_t length = reader.U32();
    const uint32_t type = reader.U32();
    if (length > reader.Remaining() - 4) break;  // the chunk and its CRC must fit
    auto data = reader.Bytes(length);
    reader.Skip(4);
    if (type == MovFourCC("eXIf")) return HasExifHeader(data) ? std::vector<uint8_t>(data.begin(), data.end())
                                                              : WithExifHeader(data);
    if (type == MovFourCC("IEND")) break;
  }
  return {};
}

struct ExifDataDeleter {
  void operator()(ExifData* data) const { exif_data_unref(data); }
};

}  // namespace

std::vector<uint8_t> ExifMakerNoteReader::FindExifBlock(uint32_t codecType, std::span<const uint8_t> fileBytes) {
  if (codecType == MovFourCC("jpeg")) return ExifOfJpeg(fileBytes);
  if (codecType == MovFourCC("png ")) return ExifOfPng(fileBytes);
  if (codecType == MovFourCC("tiff")) return WithExifHeader(fileBytes);
  return {};
}

PlaybackErr ExifMakerNoteReader::Read(uint32_t codecType, std::span<const uint8_t> fileBytes, std::vector<uint8_t>& note) {
  note.clear();
  if (codecType != MovFourCC("jpeg") && codecType != MovFourCC("png ") && codecType != MovFourCC("tiff")) {
    return PlaybackErr::UnsupportedCodec;
  }
  const std::vector<uint8_t> block = FindExifBlock(codecType, fileBytes);
  if (block.size() <= sizeof kExifHeader) return PlaybackErr::UserDataItemNotFound;

  std::unique_ptr<ExifData, ExifDataDeleter> data(exif_data_new());
  if (!data) return PlaybackErr::OutOfMemory;
  // Read as stored: no repairs of the directories, no rewriting of the note.
  exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
  exif_data_set_option(data.get(), EXIF_DATA_OPTION_DONT_CHANGE_MAKER_NOTE);
  exif_data_load_data(data.get(), block.data(), static_cast<unsigned int>(block.size()));

  ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_EXIF], EXIF_TAG_MAKER_NOTE);
  if (!entry) entry = exif_data_get_entry(data.get(), EXIF_TAG_MAKER_NOTE);
  if (!entry) return PlaybackErr::UserDataItemNotFound;
  if (entry->data && entry->size > 0) note.assign(entry->data, entry->data + entry->size);
  return PlaybackErr::Ok;
}

}  // namespace hc::playback
