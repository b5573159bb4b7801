#include "InterfaceCommon/CompressedUserDataItem.h"

#include <cstring>
#include <new>
#include <vector>

#include "KsTrace.h"
#include "QuickTime/MovieLayerErr.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/MovByteReader.h"
#include "platform/movfile/MovDataCodec.h"
#include "platform/movfile/MovUserData.h"

using hc::foundation::ByteHandle;
using hc::foundation::FoundationErr;
using hc::movfile::MovDataCodec;
using hc::movfile::MovErr;
using hc::movfile::MovUserData;

namespace {

constexpr eAppErr kUnreadableItem = -630;
constexpr size_t kLengthWordSize = 4;
constexpr size_t kVersionOffset = 16;
constexpr size_t kDecompressorTypeOffset = 20;

eAppErr AppErrFromItemErr(MovErr err) {
  return err == MovErr::OutOfMemory ? AppErr::kOutOfMemory : AppErrFromMovErr(err);
}

eAppErr AppErrFromHandleErr(FoundationErr err) {
  if (err == FoundationErr::Ok) return AppErr::kNoErr;
  return err == FoundationErr::OutOfMemory ? AppErr::kOutOfMemory : AppErrFromOSErr(FoundationErrCode(err));
}

void PutU32(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value >> 24);
  at[1] = static_cast<uint8_t>(value >> 16);
  at[2] = static_cast<uint8_t>(value >> 8);
  at[3] = static_cast<uint8_t>(value);
}

struct SampleDescription {
  uint32_t descSize = 0;
  uint32_t dataFormat = 0;
  uint32_t resvd1 = 0;
  uint16_t resvd2 = 0;
  uint16_t dataRefIndex = 0;
  int32_t version = 0;
  uint32_t decompressorType = 0;
  uint32_t sampleFlags = 0;
};

SampleDescription ParseSampleDescription(std::span<const uint8_t> bytes) {
  hc::movfile::MovByteReader in(bytes);
  SampleDescription description;
  description.descSize = in.U32();
  description.dataFormat = in.U32();
  description.resvd1 = in.U32();
  description.resvd2 = in.U16();
  description.dataRefIndex = in.U16();
  description.version = in.I32();
  description.decompressorType = in.U32();
  description.sampleFlags = in.U32();
  return description;
}

void TraceSampleDescription(const SampleDescription& description) {
  KS_TRACE(KsTrace::kVerbose, "Raw (big-endian) sprite data:");
  KS_TRACE(KsTrace::kVerbose, "descSize=%i", description.descSize);
  KS_TRACE(KsTrace::kVerbose, "dataFormat=%i", description.dataFormat);
  KS_TRACE(KsTrace::kVerbose, "resvd1=%i", description.resvd1);
  KS_TRACE(KsTrace::kVerbose, "resvd2=%i", description.resvd2);
  KS_TRACE(KsTrace::kVerbose, "dataRefIndex=%i", description.dataRefIndex);
  KS_TRACE(KsTrace::kVerbose, "version=%i", description.version);
  KS_TRACE(KsTrace::kVerbose, "decompressorType=%i", description.decompressorType);
  KS_TRACE(KsTrace::kVerbose, "sampleFlags=%i", description.sampleFlags);
}

eAppErr MakeDescription(uint32_t compressorSubtype, int32_t version, std::unique_ptr<ByteHandle>* outDescription) {
  auto description = std::make_unique<ByteHandle>();
  FoundationErr err = description->Resize(kSampleDescriptionSize);
  if (err != FoundationErr::Ok) {
    KS_TRACE(KsTrace::kError, "NewHandleClear failed; MemError=%i", FoundationErrCode(err));
    return AppErrFromHandleErr(err);
  }
  uint8_t* bytes = description->GetBytes();
  PutU32(bytes, kSampleDescriptionSize);
  PutU32(bytes + kVersionOffset, static_cast<uint32_t>(version));
  PutU32(bytes + kDecompressorTypeOffset, compressorSubtype);
  *outDescription = std::move(description);
  return AppErr::kNoErr;
}

eAppErr Compress(std::span<const uint8_t> payload, uint32_t compressorSubtype,
                 std::unique_ptr<ByteHandle>* outCompressed) {
  size_t bound = 0;
  MovErr err = MovDataCodec::MaxCompressedSize(compressorSubtype, payload.size(), bound);
  if (err != MovErr::Ok) {
    KS_TRACE(KsTrace::kError, "DataCodecGetCompressBufferSize failed, err = %i", MovErrCode(err));
    return AppErrFromItemErr(err);
  }
  auto compressed = std::make_unique<ByteHandle>();
  FoundationErr handleErr = compressed->Resize(bound + kLengthWordSize);
  if (handleErr != FoundationErr::Ok) {
    KS_TRACE(KsTrace::kError, "NewHandle(%u) failed, MemError=%i", bound + kLengthWordSize,
             FoundationErrCode(handleErr));
    return AppErrFromHandleErr(handleErr);
  }
  std::vector<uint8_t> output;
  err = MovDataCodec::Compress(compressorSubtype, payload, output);
  if (err != MovErr::Ok) {
    KS_TRACE(KsTrace::kError, "DataCodecCompress failed, err=%i", MovErrCode(err));
    return AppErrFromItemErr(err);
  }
  std::memcpy(compressed->GetBytes() + kLengthWordSize, output.data(), output.size());
  handleErr = compressed->Resize(output.size() + kLengthWordSize);
  if (handleErr != FoundationErr::Ok) {
    KS_TRACE(KsTrace::kError, "SetHandleSize(%i) failed, MemError=%i", output.size() + kLengthWordSize,
             FoundationErrCode(handleErr));
    return AppErrFromHandleErr(handleErr);
  }
  PutU32(compressed->GetBytes(), static_cast<uint32_t>(payload.size()));
  *outCompressed = std::move(compressed);
  return AppErr::kNoErr;
}

// Appends an item, answering a failure (the user data unchanged) instead of throwing.
MovErr AppendItem(MovUserData& userData, uint32_t type, std::span<const uint8_t> payload) {
  try {
    return userData.AppendItem(type, payload);
  } catch (const std::bad_alloc&) {
    return MovErr::OutOfMemory;
  } catch (const std::length_error&) {
    return MovErr::OutOfMemory;
  }
}

void RemoveFirstItems(MovUserData& userData, uint32_t type, size_t count) {
  for (size_t i = 0; i < count; ++i) userData.RemoveItem(type, 1);
}

// The new item and its description go after every other item; only once
// both are in do the old ones go, the first of their types being the old.
eAppErr ReplaceItems(bool removeDescriptions, std::span<const uint8_t> item, std::span<const uint8_t> description,
                     MovUserData& userData, uint32_t itemType) {
  const size_t oldItems = userData.CountItems(itemType);
  const size_t oldDescriptions = removeDescriptions ? userData.CountItems(kSampleDescriptionUserDataType) : 0;
  MovErr err = AppendItem(userData, itemType, item);
  if (err != MovErr::Ok) {
    KS_TRACE(KsTrace::kError, "Error %i in SetUserDataItem(realData)", MovErrCode(err));
    return AppErrFromItemErr(err);
  }
  err = AppendItem(userData, kSampleDescriptionUserDataType, description);
  if (err != MovErr::Ok) {
    userData.RemoveItem(itemType, oldItems + 1);
    KS_TRACE(KsTrace::kError, "Error %i in SetUserDataItem(sampleDesc)", MovErrCode(err));
    return AppErrFromItemErr(err);
  }
  RemoveFirstItems(userData, itemType, oldItems);
  RemoveFirstItems(userData, kSampleDescriptionUserDataType, oldDescriptions);
  return AppErr::kNoErr;
}

eAppErr Decompress(uint32_t decompressorType, std::span<const uint8_t> item, std::unique_ptr<ByteHandle>* outHandle) {
  if (item.size() < kLengthWordSize) {
    KS_TRACE(KsTrace::kError, "Compressed item of %u bytes holds no length", item.size());
    return kUnreadableItem;
  }
  hc::movfile::MovByteReader in(item);
  const uint32_t length = in.U32();
  if (length > kMaxUserDataItemLength) {
    KS_TRACE(KsTrace::kError, "Compressed item states %u bytes, more than an item may hold", length);
    return kUnreadableItem;
  }
  if (!MovDataCodec::IsSupported(decompressorType)) {
    KS_TRACE(KsTrace::kError, "Couldn't open decompressor for type %i; err=%i", decompressorType,
             MovErrCode(MovErr::CodecNotFound));
    return AppErrFromItemErr(MovErr::CodecNotFound);
  }
  std::vector<uint8_t> bytes;
  MovErr err = MovDataCodec::Decompress(decompressorType, item.subspan(kLengthWordSize), length, bytes);
  if (err != MovErr::Ok) {
    KS_TRACE(KsTrace::kError, "Error decompressing data: %i", MovErrCode(err));
    return AppErrFromItemErr(err);
  }
  auto result = std::make_unique<ByteHandle>();
  FoundationErr handleErr = result->Assign(bytes.data(), bytes.size());
  if (handleErr != FoundationErr::Ok) return AppErrFromHandleErr(handleErr);
  *outHandle = std::move(result);
  return AppErr::kNoErr;
}

}  // namespace

eAppErr CompressSampleAndMakeDesc(std::span<const uint8_t> payload, uint32_t compressorSubtype,
                                  std::unique_ptr<ByteHandle>* outDescription,
                                  std::unique_ptr<ByteHandle>* outCompressed, int32_t version) {
  static constexpr const char* kMethod = "CompressSampleAndMakeDesc";
  if (!outDescription || !outCompressed) return KS_TRACE_ERR(AppErr::kBadArgument, kMethod);
  outDescription->reset();
  outCompressed->reset();
  if (compressorSubtype != 0 && !MovDataCodec::IsSupported(compressorSubtype)) {
    KS_TRACE(KsTrace::kError, "Error %i opening data compressor of type %i", MovErrCode(MovErr::CodecNotFound),
             compressorSubtype);
    return KS_TRACE_ERR(AppErrFromItemErr(MovErr::CodecNotFound), kMethod);
  }
  if (payload.size() > kMaxUserDataItemLength) {
    KS_TRACE(KsTrace::kError, "Item of %u bytes is larger than an item may be", payload.size());
    return KS_TRACE_ERR(AppErrFromItemErr(MovErr::SizeLimitExceeded), kMethod);
  }
  std::unique_ptr<ByteHandle> description;
  eAppErr err = MakeDescription(compressorSubtype, version, &description);
  if (err == AppErr::kNoErr && compressorSubtype != 0) err = Compress(payload, compressorSubtype, outCompressed);
  if (err != AppErr::kNoErr) {
    outCompressed->reset();
    return KS_TRACE_ERR(err, kMethod);
  }
  *outDescription = std::move(description);
  return AppErr::kNoErr;
}

eAppErr WriteCompressedUserDataItem(bool removeDescriptions, std::span<const uint8_t> payload, MovUserData& userData,
                                    uint32_t compressorSubtype, uint32_t itemType) {
  static constexpr const char* kMethod = "WriteCompressedUserDataItem";
  std::unique_ptr<ByteHandle> description;
  std::unique_ptr<ByteHandle> compressed;
  eAppErr err =
      CompressSampleAndMakeDesc(payload, compressorSubtype, &description, &compressed, kSampleDescriptionVersion);
  if (err != AppErr::kNoErr) {
    KS_TRACE(KsTrace::kError, "Error %i in CompressSampleAndMakeDesc", err);
    return KS_TRACE_ERR(err, kMethod);
  }
  const std::span<const uint8_t> item = compressed ? compressed->View() : payload;
  err = ReplaceItems(removeDescriptions, item, description->View(), userData, itemType);
  if (err != AppErr::kNoErr) return KS_TRACE_ERR(err, kMethod);
  return AppErr::kNoErr;
}

eAppErr ReadCompressedUserDataItem(const MovUserData& userData, uint32_t itemType,
                                   std::unique_ptr<ByteHandle>* outHandle) {
  static constexpr const char* kMethod = "ReadCompressedUserDataItem";
  if (!outHandle) return KS_TRACE_ERR(AppErr::kBadArgument, kMethod);
  outHandle->reset();
  if (userData.CountItems(kSampleDescriptionUserDataType) == 0 || userData.CountItems(itemType) == 0) {
    return KS_TRACE_ERR(AppErrFromItemErr(MovErr::UserDataItemNotFound), kMethod);
  }
  const std::span<const uint8_t> descriptionBytes = userData.ItemPayload(kSampleDescriptionUserDataType, 1);
  const std::span<const uint8_t> item = userData.ItemPayload(itemType, 1);
  if (descriptionBytes.size() < kSampleDescriptionSize) {
    KS_TRACE(KsTrace::kError, "Expected sprite desc of size %i, got size=%i", kSampleDescriptionSize,
             descriptionBytes.size());
    return KS_TRACE_ERR(kUnreadableItem, kMethod);
  }
  const SampleDescription description = ParseSampleDescription(descriptionBytes);
  TraceSampleDescription(description);
  if (description.version != kSampleDescriptionVersion) {
    KS_TRACE(KsTrace::kError, "Expected sprite desc version 1, got v=%i", description.version);
    return KS_TRACE_ERR(kUnreadableItem, kMethod);
  }
  if (description.descSize != kSampleDescriptionSize) {
    KS_TRACE(KsTrace::kError, "Expected sprite desc of size %i, got size=%i", kSampleDescriptionSize,
             description.descSize);
    return KS_TRACE_ERR(kUnreadableItem, kMethod);
  }
  eAppErr err = AppErr::kNoErr;
  if (description.decompressorType == 0) {
    auto result = std::make_unique<ByteHandle>();
    err = AppErrFromHandleErr(result->Assign(item.data(), item.size()));
    if (err == AppErr::kNoErr) *outHandle = std::move(result);
  } else {
    err = Decompress(description.decompressorType, item, outHandle);
  }
  if (err != AppErr::kNoErr) return KS_TRACE_ERR(err, kMethod);
  return AppErr::kNoErr;
}
