#include "InterfaceCommon/SignatureUserDataItem.h"

#include <new>
#include <stdexcept>

#include "InterfaceCommon/CompressedUserDataItem.h"
#include "KsTrace.h"
#include "QuickTime/MovieLayerErr.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/MovUserData.h"

using hc::movfile::MovErr;
using hc::movfile::MovUserData;

eAppErr WriteSignatureUserDataItem(std::span<const uint8_t> container, MovUserData& userData) {
  static constexpr const char* kMethod = "WriteSignatureUserDataItem";
  if (container.size() > kMaxUserDataItemLength) {
    return KS_TRACE_ERR(AppErrFromMovErr(MovErr::SizeLimitExceeded), kMethod);
  }
  const size_t oldItems = userData.CountItems(kSignatureUserDataType);
  MovErr err = MovErr::Ok;
  try {
    err = userData.AppendItem(kSignatureUserDataType, container);
  } catch (const std::bad_alloc&) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, kMethod);
  } catch (const std::length_error&) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, kMethod);
  }
  if (err != MovErr::Ok) return KS_TRACE_ERR(AppErrFromMovErr(err), kMethod);
  for (size_t i = 0; i < oldItems; ++i) userData.RemoveItem(kSignatureUserDataType, 1);
  return AppErr::kNoErr;
}

eAppErr ReadSignatureUserDataItem(const MovUserData& userData, std::unique_ptr<hc::foundation::ByteHandle>* outHandle) {
  static constexpr const char* kMethod = "ReadSignatureUserDataItem";
  if (!outHandle) return KS_TRACE_ERR(AppErr::kBadArgument, kMethod);
  outHandle->reset();
  if (userData.CountItems(kSignatureUserDataType) == 0) {
    return KS_TRACE_ERR(AppErrFromMovErr(MovErr::UserDataItemNotFound), kMethod);
  }
  const std::span<const uint8_t> item = userData.ItemPayload(kSignatureUserDataType, 1);
  auto handle = std::make_unique<hc::foundation::ByteHandle>();
  if (handle->Assign(item.data(), item.size()) != hc::foundation::FoundationErr::Ok) {
    return KS_TRACE_ERR(AppErr::kOutOfMemory, kMethod);
  }
  *outHandle = std::move(handle);
  return AppErr::kNoErr;
}
