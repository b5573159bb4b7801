// Fingerprint verification of a large package member (open, read, SHA-256,
// compare), against "openssl dgst -sha256" on the same file in the same run:
// both read the file from the page cache (it was just written) with the
// processor's SHA instructions. Rounds alternate which side runs first;
// x_openssl_dgst is the median over the rounds of our time over the
// command's (goal: at most 1.25, that is at least 0.8 of its speed).
// HC_INSTALLER_BENCH_BYTES sets the member's size (default 1 GiB).

#include "PairedTiming.h"
#include "installer/Source/KestrelDigest.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using hc::installer::KestrelDigest;

std::size_t memberSize() {
  if (hc::bench::SmokeRun()) return std::size_t{1} << 20;
  if (const char* text = std::getenv("HC_INSTALLER_BENCH_BYTES")) {
    const long long value = std::atoll(text);
    if (value > 0) return static_cast<std::size_t>(value);
  }
  return std::size_t{1} << 30;
}

// A file of pseudo-random bytes, removed when the program ends.
class LargeMember {
 public:
  LargeMember() {
    const char* folder = std::getenv("TMPDIR");
    path_ = std::string(folder && *folder ? folder : "/tmp") + "/installer_bench.XXXXXX";
    const int fd = ::mkstemp(path_.data());
    if (fd < 0) return;
    std::vector<std::uint64_t> block((1 << 20) / sizeof(std::uint64_t));
    std::uint64_t state = 0x9e3779b97f4a7c15ull;
    std::size_t left = memberSize();
    while (left > 0) {
      for (auto& word : block) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        word = state;
      }
      const std::size_t count = std::min(left, block.size() * sizeof(std::uint64_t));
      if (::write(fd, block.data(), count) != static_cast<ssize_t>(count)) break;
      left -= count;
    }
    ok_ = left == 0;
    ::close(fd);
  }
  ~LargeMember() { ::unlink(path_.c_str()); }
  const std::string& path() const { return path_; }
  bool ok() const { return ok_; }

 private:
  std::string path_;
  bool ok_ = false;
};

const LargeMember& member() {
  static const LargeMember file;
  return file;
}

// Runs "openssl dgst -sha256 -r" on the file; answers its digest.
std::string opensslDgst(const std::string& path) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return std::string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<char*> argv = {const_cast<char*>("openssl"), const_cast<char*>("dgst"), const_cast<char*>("-sha256"),
                             const_cast<char*>("-r"), const_cast<char*>(path.c_str()), nullptr};
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, "openssl", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  std::string output;
  char block[256];
  ssize_t count;
  while (spawned == 0 && (count = ::read(pipeFds[0], block, sizeof block)) > 0) {
    output.append(block, static_cast<std::size_t>(count));
  }
  ::close(pipeFds[0]);
  int status = 0;
  if (spawned == 0) ::waitpid(child, &status, 0);
  if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::string();
  return output.substr(0, output.find(' '));
}

void BM_FingerprintVerificationAgainstOpensslDgst(benchmark::State& state) {
  const LargeMember& file = member();  // just written, so in the page cache for both
  if (!file.ok()) {
    state.SkipWithError("cannot make the member");
    return;
  }
  const std::string expected = opensslDgst(file.path());
  if (expected.empty()) {
    state.SkipWithError("cannot run openssl dgst");
    return;
  }
  hc::bench::PairedTimes times("openssl_dgst");
  for (auto _ : state) {
    const bool ok = times.RunRound(
        [&] { return KestrelDigest::fingerprintIsValidForFileAtPath(expected, file.path(), "sha256"); },
        [&] { return opensslDgst(file.path()) == expected; });
    if (!ok) {
      state.SkipWithError("a fingerprint does not verify");
      return;
    }
    state.SetIterationTime(times.LastOurs());
  }
  times.Report(state);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * memberSize()));
  state.counters["member_MiB"] = static_cast<double>(memberSize() >> 20);
  state.counters["goal_at_most"] = 1.25;
}
BENCHMARK(BM_FingerprintVerificationAgainstOpensslDgst)
    ->Iterations(hc::bench::Rounds(9))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
