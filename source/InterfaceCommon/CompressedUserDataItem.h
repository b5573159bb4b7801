#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "KsAppErr.h"
#include "platform/movfile/MovFourCC.h"

namespace hc::foundation {
class ByteHandle;
}
namespace hc::movfile {
class MovUserData;
}

// The object graphs a movie carries (its presentation, one source
// description per visual track) are stored as user-data items: the bytes of
// the graph's atom container, compressed by a data codec, beside a 28-byte
// description item that names the codec.
//
// A compressed item is big-endian: 4 bytes of uncompressed length, then the
// codec's output. With decompressor type 0 the item is the container's bytes
// themselves, without a length word. The description ('Hcfm') is laid out as
// a sprite sample description:
//   0 descSize (28), 4 dataFormat, 8 resvd1, 12 resvd2 (16 bits),
//   14 dataRefIndex (16 bits), 16 version (1), 20 decompressorType,
//   24 sampleFlags.
// A user data holds one compressed item: writing one removes every 'Hcfm'
// item first, and the reader pairs an item with the first 'Hcfm' item.
//
// Results are eAppErr values: the movie layer's codes come translated, so
// callers pass them on as they are (a missing item or description is -2026).

constexpr uint32_t kPresentationUserDataType = hc::movfile::MovFourCC("Hcpr");
constexpr uint32_t kSourceDescriptionUserDataType = hc::movfile::MovFourCC("Hcsd");
constexpr uint32_t kSampleDescriptionUserDataType = hc::movfile::MovFourCC("Hcfm");
constexpr uint32_t kSignatureUserDataType = hc::movfile::MovFourCC("Hcsg");
constexpr uint32_t kZlibDataCompressorType = hc::movfile::MovFourCC("zlib");

constexpr size_t kSampleDescriptionSize = 28;
constexpr int32_t kSampleDescriptionVersion = 1;
// The largest object graph stored in one item, uncompressed. Writers refuse
// more; readers refuse an item that states more before allocating for it.
constexpr size_t kMaxUserDataItemLength = size_t{64} << 20;

// Makes the description of a payload compressed by the data codec of the
// given subtype (0: stored as it is) and, for a subtype other than 0, the
// compressed item. Callers pass kSampleDescriptionVersion. On failure both
// outputs are cleared; a payload past kMaxUserDataItemLength is refused.
eAppErr CompressSampleAndMakeDesc(std::span<const uint8_t> payload, uint32_t compressorSubtype,
                                  std::unique_ptr<hc::foundation::ByteHandle>* outDescription,
                                  std::unique_ptr<hc::foundation::ByteHandle>* outCompressed, int32_t version);

// Stores the payload as the one item of its type in the user data, with its
// description: the new item and description are made first and replace the
// old items (every one of the type and, with removeDescriptions, every 'Hcfm'
// item) only once they are complete, so a failure leaves the user data as it
// was.
eAppErr WriteCompressedUserDataItem(bool removeDescriptions, std::span<const uint8_t> payload,
                                    hc::movfile::MovUserData& userData, uint32_t compressorSubtype, uint32_t itemType);

// The uncompressed bytes of the first item of the type, paired with the first
// 'Hcfm' item, in a new handle; no handle on failure. -2026 when either item
// is missing; -630 for a description of another version or size, or a
// compressed item too short for its length word or stating more than
// kMaxUserDataItemLength; the codec's error when the data don't decompress to
// exactly the stated length.
eAppErr ReadCompressedUserDataItem(const hc::movfile::MovUserData& userData, uint32_t itemType,
                                   std::unique_ptr<hc::foundation::ByteHandle>* outHandle);
