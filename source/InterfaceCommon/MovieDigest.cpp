#include "InterfaceCommon/MovieDigest.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "InterfaceCommon/CompressedUserDataItem.h"
#include "KsTrace.h"
#include "QuickTime/MovieLayerErr.h"
#include "Security/OpenSSLSHA256Digester.h"
#include "platform/foundation/ByteHandle.h"
#include "platform/movfile/MovFile.h"

using hc::movfile::MovFile;
using hc::movfile::MovTrack;
using hc::movfile::MovUserData;

namespace {

constexpr const char* kDigestMethod = "GetMovieDigestBase64";

const MovTrack* FirstVisualTrack(const MovFile& movie) {
  for (size_t i = 0; i < movie.TrackCount(); ++i) {
    if (movie.Track(i).HasVisualCharacteristic()) return &movie.Track(i);
  }
  return nullptr;
}

eAppErr AppendBytes(std::vector<uint8_t>& buffer, std::span<const uint8_t> bytes) {
  try {
    buffer.insert(buffer.end(), bytes.begin(), bytes.end());
  } catch (const std::bad_alloc&) {
    return AppErr::kOutOfMemory;
  } catch (const std::length_error&) {
    return AppErr::kOutOfMemory;
  }
  return AppErr::kNoErr;
}

eAppErr AppendDigestItem(const MovUserData& userData, uint32_t itemType, std::vector<uint8_t>& buffer) {
  std::unique_ptr<hc::foundation::ByteHandle> item;
  eAppErr err = ReadCompressedUserDataItem(userData, itemType, &item);
  if (err == AppErr::kNoErr) err = AppendBytes(buffer, item->View());
  return err;
}

eAppErr AppendSize(uint64_t size, std::vector<uint8_t>& buffer) {
  uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(size >> (56 - 8 * i));
  return AppendBytes(buffer, bytes);
}

eAppErr DigestBase64(std::vector<uint8_t>& buffer, PWStringRef* outDigest) {
  if (buffer.size() > std::numeric_limits<uint32_t>::max()) return AppErr::kOutOfRange;
  auto digester = KsMakeRef<OpenSSLSHA256Digester>();
  // The length goes first: the digester sizes its buffer by it.
  eAppErr err = digester->SetDataLen(static_cast<uint32_t>(buffer.size()));
  if (err == AppErr::kNoErr) err = digester->SetDataPtr(buffer.data());
  if (err == AppErr::kNoErr) err = digester->GetDigestBase64(outDigest);
  return err;
}

}  // namespace

eAppErr ComputeMovieDigestBase64(MovFile* movie, PWStringRef* outDigest) {
  if (!movie) return KS_TRACE_ERR(AppErr::kNotReady, kDigestMethod);
  if (!outDigest) return KS_TRACE_ERR(AppErr::kBadArgument, kDigestMethod);
  *outDigest = PWStringRef();
  // The track's data size needs its sample tables, which opening leaves unread.
  if (const hc::movfile::MovErr loaded = movie->LoadTracks(); loaded != hc::movfile::MovErr::Ok) {
    return KS_TRACE_ERR(AppErrFromMovErr(loaded), kDigestMethod);
  }
  const MovTrack* track = FirstVisualTrack(*movie);
  if (!track) return KS_TRACE_ERR(AppErr::kBadArgument, kDigestMethod);
  if (!track->UserData().IsPresent()) {
    KS_TRACE(KsTrace::kWarning, "No user data found");
    return AppErr::kNoErr;
  }
  std::vector<uint8_t> buffer;
  eAppErr err = AppendDigestItem(track->UserData(), kSourceDescriptionUserDataType, buffer);
  if (err == AppErr::kNoErr) err = AppendDigestItem(movie->UserData(), kPresentationUserDataType, buffer);
  if (err == AppErr::kNoErr) err = AppendSize(track->DataSize(), buffer);
  if (err == AppErr::kNoErr) err = DigestBase64(buffer, outDigest);
  if (err != AppErr::kNoErr) {
    *outDigest = PWStringRef();
    return KS_TRACE_ERR(err, kDigestMethod);
  }
  return AppErr::kNoErr;
}
