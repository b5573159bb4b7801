#include "Security/Base64.h"

#include <openssl/bio.h>
#include <openssl/buffer.h>
#include <openssl/evp.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "KsTrace.h"

using hc::foundation::ByteHandle;
using hc::foundation::FoundationErr;

namespace {

// The crypto library counts lengths in int: bytes go through in slices.
constexpr size_t kSliceSize = 1 << 16;

struct BioChainDeleter {
  void operator()(BIO* chain) const { BIO_free_all(chain); }
};
using BioChainPtr = std::unique_ptr<BIO, BioChainDeleter>;

struct DecodeContextDeleter {
  void operator()(EVP_ENCODE_CTX* context) const { EVP_ENCODE_CTX_free(context); }
};
using DecodeContextPtr = std::unique_ptr<EVP_ENCODE_CTX, DecodeContextDeleter>;

bool IsSkippedSpace(char c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; }

bool IsBase64Digit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

// Checks the text and counts its Base64 characters, padding included. The
// decoder itself would stop quietly at a '-' and take some malformed text.
bool CountBase64Characters(std::string_view text, size_t* count) {
  size_t characters = 0;
  size_t padding = 0;
  for (char c : text) {
    if (IsSkippedSpace(c)) continue;
    if (c == '=') {
      ++padding;
    } else if (padding > 0 || !IsBase64Digit(c)) {
      return false;
    }
    ++characters;
  }
  if (characters % 4 != 0 || padding > 2) return false;
  *count = characters;
  return true;
}

// Decodes checked text into out, which has room for every group of it.
eAppErr DecodeInto(std::string_view text, uint8_t* out, size_t* decodedLength) {
  DecodeContextPtr context(EVP_ENCODE_CTX_new());
  if (!context) return AppErr::kAllocationFailed;
  EVP_DecodeInit(context.get());
  size_t total = 0;
  while (!text.empty()) {
    const size_t slice = std::min(text.size(), kSliceSize);
    int written = 0;
    if (EVP_DecodeUpdate(context.get(), out + total, &written,
                         reinterpret_cast<const unsigned char*>(text.data()),
                         static_cast<int>(slice)) < 0) {
      return AppErr::kTextNotConvertible;
    }
    total += static_cast<size_t>(written);
    text.remove_prefix(slice);
  }
  int written = 0;
  if (EVP_DecodeFinal(context.get(), out + total, &written) < 0) return AppErr::kTextNotConvertible;
  *decodedLength = total + static_cast<size_t>(written);
  return AppErr::kNoErr;
}

}  // namespace

PWStringRef Base64EncodeBytes(const void* bytes, size_t length) {
  if (!bytes && length > 0) {
    KS_TRACE_ERR(AppErr::kBadArgument, "Base64EncodeBytes");
    return nullptr;
  }
  // The filter writes a line feed after every 64 characters and at the end.
  BIO* filter = BIO_new(BIO_f_base64());
  BIO* sink = BIO_new(BIO_s_mem());
  if (!filter || !sink) {
    BIO_free(filter);
    BIO_free(sink);
    KS_TRACE_ERR(AppErr::kAllocationFailed, "Base64EncodeBytes");
    return nullptr;
  }
  BioChainPtr chain(BIO_push(filter, sink));
  const auto* next = static_cast<const unsigned char*>(bytes);
  while (length > 0) {
    const int written = BIO_write(chain.get(), next, static_cast<int>(std::min(length, kSliceSize)));
    if (written <= 0) {
      KS_TRACE_ERR(AppErr::kAllocationFailed, "Base64EncodeBytes");
      return nullptr;
    }
    next += written;
    length -= static_cast<size_t>(written);
  }
  BUF_MEM* output = nullptr;
  if (BIO_flush(chain.get()) != 1 || BIO_get_mem_ptr(sink, &output) != 1 || !output) {
    KS_TRACE_ERR(AppErr::kAllocationFailed, "Base64EncodeBytes");
    return nullptr;
  }
  return PWStringTrimWhitespace(PWStringRef(std::string_view(output->data, output->length)));
}

PWStringRef Base64EncodeHandle(const ByteHandle* handle) {
  if (!handle || handle->IsEmpty()) return nullptr;
  return Base64EncodeBytes(handle->GetBytes(), handle->GetSize());
}

eAppErr Base64DecodeToHandle(const PWStringRef& text, ByteHandle* outHandle) {
  if (text.IsNull() || !outHandle) return KS_TRACE_ERR(AppErr::kBadArgument, "Base64DecodeToHandle");
  size_t characters = 0;
  if (!CountBase64Characters(text.View(), &characters)) {
    return KS_TRACE_ERR(AppErr::kTextNotConvertible, "Base64DecodeToHandle");
  }
  ByteHandle decoded;
  if (characters > 0) {
    // Every group of four characters gives at most three bytes.
    if (decoded.Resize(characters / 4 * 3) != FoundationErr::Ok) {
      return KS_TRACE_ERR(AppErr::kOutOfMemory, "Base64DecodeToHandle");
    }
    size_t decodedLength = 0;
    const eAppErr err = DecodeInto(text.View(), decoded.GetBytes(), &decodedLength);
    if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Base64DecodeToHandle");
    decoded.Resize(decodedLength);  // shrinking never fails
  }
  *outHandle = std::move(decoded);
  return AppErr::kNoErr;
}
