// Fingerprint verification of a large package member, measured against the
// sha256sum tool on the same file in the same run. The figure to read is
// ratio_to_sha256sum: sha256sum's time divided by ours (goal: at least 0.8).
// HC_INSTALLER_BENCH_BYTES sets the member's size (default 1 GiB).

#include "installer/Source/KestrelDigest.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using hc::installer::KestrelDigest;
using Clock = std::chrono::steady_clock;

std::size_t memberSize() {
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

// Runs sha256sum on the file; answers its digest and how long it took.
std::string sha256sum(const std::string& path, double& seconds) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return std::string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<char*> argv = {const_cast<char*>("sha256sum"), const_cast<char*>(path.c_str()),
                             nullptr};
  const auto start = Clock::now();
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, "sha256sum", &actions, nullptr, argv.data(), environ);
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
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::string();
  return output.substr(0, output.find(' '));
}

void BM_FingerprintVerificationAgainstSha256sum(benchmark::State& state) {
  const LargeMember& file = member();  // just written, so in the page cache for both
  if (!file.ok()) {
    state.SkipWithError("cannot make the member");
    return;
  }
  double oursTotal = 0, toolTotal = 0;
  for (auto _ : state) {
    double toolSeconds = 0;
    const std::string expected = sha256sum(file.path(), toolSeconds);
    if (expected.empty()) {
      state.SkipWithError("cannot run sha256sum");
      return;
    }
    const auto start = Clock::now();
    const bool valid = KestrelDigest::fingerprintIsValidForFileAtPath(expected, file.path(), "sha256");
    const double ours = std::chrono::duration<double>(Clock::now() - start).count();
    if (!valid) {
      state.SkipWithError("fingerprint does not verify");
      return;
    }
    state.SetIterationTime(ours);
    oursTotal += ours;
    toolTotal += toolSeconds;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * memberSize()));
  state.counters["sha256sum_s"] = toolTotal / static_cast<double>(state.iterations());
  state.counters["ratio_to_sha256sum"] = oursTotal > 0 ? toolTotal / oursTotal : 0;
}
BENCHMARK(BM_FingerprintVerificationAgainstSha256sum)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
