// libFuzzer target over the compressed user-data items a movie stores: the
// bytes are read as a user data ('udta' payload) whose items may state any
// length, hold any description and any compressed data. Whatever reads is
// written back and must read the same; the bytes themselves must survive a
// write and a read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "InterfaceCommon/CompressedUserDataItem.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/MovUserData.h"

using hc::foundation::ByteHandle;
using hc::movfile::MovUserData;

namespace {

void RoundTrip(std::span<const uint8_t> bytes, MovUserData& userData, uint32_t subtype, uint32_t type) {
  if (WriteCompressedUserDataItem(true, bytes, userData, subtype, type) != 0) std::abort();
  std::unique_ptr<ByteHandle> read;
  if (ReadCompressedUserDataItem(userData, type, &read) != 0 || !read) std::abort();
  if (!std::equal(bytes.begin(), bytes.end(), read->View().begin(), read->View().end())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  MovUserData userData;
  if (MovUserData::Parse(bytes, userData) == hc::movfile::MovErr::Ok) {
    for (uint32_t type : {kPresentationUserDataType, kSourceDescriptionUserDataType}) {
      std::unique_ptr<ByteHandle> read;
      if (ReadCompressedUserDataItem(userData, type, &read) != 0) {
        if (read) std::abort();
        continue;
      }
      const ByteHandle stored = *read;
      MovUserData copy = userData;
      RoundTrip(stored.View(), copy, kZlibDataCompressorType, type);
      RoundTrip(stored.View(), copy, 0, type);
    }
  }
  MovUserData fresh;
  RoundTrip(bytes, fresh, kZlibDataCompressorType, kPresentationUserDataType);
  return 0;
}
