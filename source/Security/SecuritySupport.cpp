#include "Security/SecuritySupport.h"

#include <openssl/err.h>
#include <openssl/pem.h>

#include <limits>

#include "KsTrace.h"

BioPtr OpenTextBio(const PWStringRef& text) {
  if (text.IsNull() || text.ByteLength() > static_cast<size_t>(std::numeric_limits<int>::max())) return nullptr;
  return BioPtr(BIO_new_mem_buf(text.CStr(), static_cast<int>(text.ByteLength())));
}

X509Ptr ReadPEMCertificate(const PWStringRef& text) {
  BioPtr source = OpenTextBio(text);
  if (!source) return nullptr;
  // A callback that answers no pass phrase keeps the library off the terminal.
  X509Ptr certificate(PEM_read_bio_X509(
      source.get(), nullptr, [](char*, int, int, void*) { return -1; }, nullptr));
  if (!certificate) ClearOpenSSLErrors();
  return certificate;
}

void ClearOpenSSLErrors() { ERR_clear_error(); }

DataBytes BytesOfData(KsData& data) {
  static const uint8_t kNoBytes = 0;
  if (!data.HasLength()) return {&kNoBytes, 0};
  const auto* bytes = static_cast<const uint8_t*>(data.GetMutableBytes());
  if (!bytes) return {&kNoBytes, 0};
  return {bytes, data.GetLength()};
}

KsRef<KsData> MakeDataWithBytes(const void* bytes, size_t length) {
  if (length > std::numeric_limits<uint32_t>::max()) return {};
  auto data = KsMakeRef<KsData>();
  data->SetLength(static_cast<uint32_t>(length));
  if (AppErrFailed(data->SetBytes(bytes))) return {};
  return data;
}

eAppErr ReplaceDataWithBase64(KsRef<KsData>* field, const PWStringRef& text, const char* method) {
  *field = nullptr;
  auto data = KsMakeRef<KsData>();
  if (eAppErr err = data->SetBase64(text)) return KS_TRACE_ERR(err, method);
  *field = std::move(data);
  return AppErr::kNoErr;
}
