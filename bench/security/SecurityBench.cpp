// SHA-256 of a large file through the model's digester, measured against
// "openssl dgst -sha256" on the same file in the same run (the file is in the
// page cache for both). The figure to read is ratio_to_openssl_dgst: the
// command's whole run divided by our digest of the file's bytes held by the
// digester (goal: at least 0.9). The digester takes its bytes as one buffer,
// so loading the file into it is measured apart (read_s), and
// ratio_with_read_to_openssl_dgst counts it in: a fresh buffer of that size
// costs its page faults, which the command, streaming through a small buffer,
// does not pay. HC_SECURITY_BENCH_BYTES sets the file's size (default 256 MiB).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Security/OpenSSLSHA256Digester.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

size_t FileSize() {
  if (const char* text = std::getenv("HC_SECURITY_BENCH_BYTES")) {
    const long long value = std::atoll(text);
    if (value > 0 && value <= UINT32_MAX) return static_cast<size_t>(value);
  }
  return size_t{256} << 20;
}

// A file of pseudo-random bytes, removed when the program ends.
class LargeFile {
 public:
  LargeFile() {
    const char* folder = std::getenv("TMPDIR");
    m_path = std::string(folder && *folder ? folder : "/tmp") + "/security_bench.XXXXXX";
    const int fd = mkstemp(m_path.data());
    if (fd < 0) return;
    std::vector<uint64_t> block((1 << 20) / sizeof(uint64_t));
    uint64_t state = 0x9e3779b97f4a7c15ull;
    size_t left = FileSize();
    while (left > 0) {
      for (uint64_t& word : block) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        word = state;
      }
      const size_t count = std::min(left, block.size() * sizeof(uint64_t));
      if (write(fd, block.data(), count) != static_cast<ssize_t>(count)) break;
      left -= count;
    }
    m_ok = left == 0;
    close(fd);
  }
  ~LargeFile() { unlink(m_path.c_str()); }
  const std::string& Path() const { return m_path; }
  bool Ok() const { return m_ok; }

 private:
  std::string m_path;
  bool m_ok = false;
};

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Runs "openssl dgst -sha256 -r" on the file: its hexadecimal digest, and how long it took.
std::string OpensslDigest(const std::string& path, double* seconds) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<std::string> arguments = {"openssl", "dgst", "-sha256", "-r", path};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, "openssl", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  std::string output;
  char block[256];
  ssize_t count = 0;
  while (spawned == 0 && (count = read(pipeFds[0], block, sizeof block)) > 0) output.append(block, count);
  close(pipeFds[0]);
  int status = 0;
  if (spawned == 0) waitpid(child, &status, 0);
  *seconds = SecondsSince(start);
  if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return output.substr(0, output.find(' '));
}

// A digester holding the file's bytes, as the movie digest hands them over:
// the length, then the bytes; empty on failure.
KsRef<OpenSSLSHA256Digester> DigesterWithFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return {};
  auto digester = KsMakeRef<OpenSSLSHA256Digester>();
  const size_t size = FileSize();
  digester->SetDataLen(static_cast<uint32_t>(size));
  auto* buffer = static_cast<char*>(digester->GetDataPtr());
  size_t done = 0;
  while (buffer && done < size) {
    const ssize_t count = read(fd, buffer + done, size - done);
    if (count <= 0) break;
    done += static_cast<size_t>(count);
  }
  close(fd);
  if (done != size) return {};
  return digester;
}

// The digest in hexadecimal; empty when there is none.
std::string DigestHex(OpenSSLSHA256Digester& digester) {
  KsRef<KsData> digest = digester.GetDigest();
  if (!digest) return {};
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  const auto* bytes = static_cast<const uint8_t*>(digest->GetMutableBytes());
  for (uint32_t i = 0; i < digest->GetLength(); ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0xF];
  }
  return hex;
}

void BM_Sha256OfLargeFileAgainstOpensslDgst(benchmark::State& state) {
  static const LargeFile file;  // just written, so in the page cache for both
  if (!file.Ok()) {
    state.SkipWithError("cannot make the file");
    return;
  }
  double oursTotal = 0;
  double readTotal = 0;
  double toolTotal = 0;
  for (auto _ : state) {
    double toolSeconds = 0;
    const std::string expected = OpensslDigest(file.Path(), &toolSeconds);
    if (expected.empty()) {
      state.SkipWithError("cannot run openssl dgst");
      return;
    }
    const auto readStart = Clock::now();
    KsRef<OpenSSLSHA256Digester> digester = DigesterWithFile(file.Path());
    const double readSeconds = SecondsSince(readStart);
    if (!digester) {
      state.SkipWithError("cannot read the file");
      return;
    }
    const auto start = Clock::now();
    const std::string ours = DigestHex(*digester);
    const double oursSeconds = SecondsSince(start);
    if (ours != expected) {
      state.SkipWithError("digests differ");
      return;
    }
    state.SetIterationTime(oursSeconds);
    oursTotal += oursSeconds;
    readTotal += readSeconds;
    toolTotal += toolSeconds;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize()));
  state.counters["openssl_dgst_s"] = toolTotal / static_cast<double>(state.iterations());
  state.counters["read_s"] = readTotal / static_cast<double>(state.iterations());
  state.counters["ratio_to_openssl_dgst"] = oursTotal > 0 ? toolTotal / oursTotal : 0;
  state.counters["ratio_with_read_to_openssl_dgst"] = toolTotal / (oursTotal + readTotal);
}
BENCHMARK(BM_Sha256OfLargeFileAgainstOpensslDgst)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
