// SHA-256 of a large buffer in memory through the model's digester, against
// OpenSSL's own EVP interface digesting the same buffer in the same run: both
// work on bytes already in memory, so neither pays for a process or a file.
// Rounds alternate which side runs first; x_openssl is the median over the
// rounds of our time over OpenSSL's (goal: at most 1.11, that is at least 0.9
// of OpenSSL's throughput). HC_SECURITY_BENCH_BYTES sets the buffer's size
// (default 64 MiB).

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PairedTiming.h"
#include "Security/OpenSSLSHA256Digester.h"

namespace {

size_t BufferSize() {
  if (hc::bench::SmokeRun()) return size_t{1} << 20;
  if (const char* text = std::getenv("HC_SECURITY_BENCH_BYTES")) {
    const long long value = std::atoll(text);
    if (value > 0 && value <= UINT32_MAX) return static_cast<size_t>(value);
  }
  return size_t{64} << 20;
}

// A digester holding pseudo-random bytes, as the movie digest hands them
// over: the length, then the bytes.
KsRef<OpenSSLSHA256Digester> MakeDigester(size_t size) {
  auto digester = KsMakeRef<OpenSSLSHA256Digester>();
  digester->SetDataLen(static_cast<uint32_t>(size));
  auto* bytes = static_cast<uint8_t*>(digester->GetDataPtr());
  if (!bytes) return {};
  uint64_t state = 0x9e3779b97f4a7c15ull;
  for (size_t i = 0; i < size; i += sizeof state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    std::memcpy(bytes + i, &state, std::min(sizeof state, size - i));
  }
  return digester;
}

std::string Hex(const unsigned char* bytes, size_t count) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < count; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0xF];
  }
  return hex;
}

std::string OursHex(OpenSSLSHA256Digester& digester) {
  KsRef<KsData> digest = digester.GetDigest();
  if (!digest) return {};
  return Hex(static_cast<const unsigned char*>(digest->GetMutableBytes()), digest->GetLength());
}

std::string OpensslHex(const void* bytes, size_t size) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes, size, digest, &length, EVP_sha256(), nullptr) != 1) return {};
  return Hex(digest, length);
}

void BM_Sha256InMemoryAgainstOpensslEvp(benchmark::State& state) {
  const size_t size = BufferSize();
  KsRef<OpenSSLSHA256Digester> digester = MakeDigester(size);
  if (!digester) {
    state.SkipWithError("cannot make the buffer");
    return;
  }
  const void* bytes = digester->GetDataPtr();
  std::string ours;
  std::string anchor;
  hc::bench::PairedTimes times("openssl");
  for (auto _ : state) {
    const bool ok = times.RunRound([&] { return !(ours = OursHex(*digester)).empty(); },
                                   [&] { return !(anchor = OpensslHex(bytes, size)).empty(); });
    if (!ok || ours != anchor) {
      state.SkipWithError(ok ? "digests differ" : "a digest failed");
      return;
    }
    state.SetIterationTime(times.LastOurs());
  }
  times.Report(state);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  state.counters["buffer_MiB"] = static_cast<double>(size >> 20);
  state.counters["goal_at_most"] = 1.11;
}
BENCHMARK(BM_Sha256InMemoryAgainstOpensslEvp)
    ->Iterations(hc::bench::Rounds(11))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
