// Copy of a large file through the file manager (request, start, wait on the
// report while this thread's run loop delivers the progress), measured
// against cp copying the same file in the same run. The figure to read is
// ratio_to_cp: cp's time divided by ours (goal: at least 0.8).
// HC_OPERATIONS_BENCH_BYTES sets the file's size (default 1 GiB); with too
// little free space for the file and two copies the size is halved until it
// fits (the size used is printed as file_MiB).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "InterfaceCommon/ProgressReport.h"
#include "RegisterAllClasses.h"
#include "Utilities/FileManager.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int64_t kMiB = int64_t{1} << 20;

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder && *folder ? folder : "/tmp";
}

// The requested size, halved while the file and two copies would not fit.
int64_t FileSize(const std::string& folder) {
  int64_t size = int64_t{1} << 30;
  if (const char* text = std::getenv("HC_OPERATIONS_BENCH_BYTES")) {
    const long long value = std::atoll(text);
    if (value > 0) size = value;
  }
  struct statvfs info {};
  if (::statvfs(folder.c_str(), &info) == 0) {
    const int64_t available = static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
    while (size > 64 * kMiB && 3 * size + 256 * kMiB > available) size /= 2;
  }
  return size;
}

// A folder holding a file of pseudo-random bytes, removed at the end.
class Workspace {
 public:
  Workspace() {
    std::string pattern = TemporaryFolder() + "/operations_bench.XXXXXX";
    if (!::mkdtemp(pattern.data())) return;
    folder_ = pattern;
    size_ = FileSize(folder_);
    ok_ = WriteSource();
  }
  ~Workspace() {
    ::unlink(Source().c_str());
    ::unlink(Target("by_cp").c_str());
    ::unlink(Target("by_file_manager").c_str());
    if (!folder_.empty()) ::rmdir(folder_.c_str());
  }
  std::string Source() const { return folder_ + "/source.bin"; }
  std::string Target(const std::string& name) const { return folder_ + "/" + name; }
  const std::string& Folder() const { return folder_; }
  int64_t Size() const { return size_; }
  bool ok() const { return ok_; }

 private:
  bool WriteSource() {
    const int fd = ::open(Source().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    std::vector<uint64_t> block(static_cast<size_t>(kMiB) / sizeof(uint64_t));
    uint64_t state = 0x9e3779b97f4a7c15ull;
    int64_t left = size_;
    while (left > 0) {
      for (auto& word : block) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        word = state;
      }
      const size_t count = static_cast<size_t>(std::min<int64_t>(left, kMiB));
      if (::write(fd, block.data(), count) != static_cast<ssize_t>(count)) break;
      left -= static_cast<int64_t>(count);
    }
    ::close(fd);
    return left == 0;
  }

  std::string folder_;
  int64_t size_ = 0;
  bool ok_ = false;
};

// Runs cp; answers how long it took, or a negative time when it failed.
double CopyWithCp(const std::string& from, const std::string& to) {
  std::vector<char*> argv = {const_cast<char*>("cp"), const_cast<char*>(from.c_str()),
                             const_cast<char*>(to.c_str()), nullptr};
  const auto start = Clock::now();
  pid_t child = 0;
  if (::posix_spawnp(&child, "cp", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  ::waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// Copies through the file manager; how long it took, negative on failure.
double CopyWithFileManager(const std::string& from, const std::string& folder, const std::string& name) {
  const auto start = Clock::now();
  auto manager = KsMakeRef<FileManager>();
  KsRef<ProgressReport> report = manager->CopyFrom(from, folder, name, false);
  manager->Start();
  manager = nullptr;
  const eAppErr status = report->Wait();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return status == ProgressReport::kDone ? seconds : -1;
}

void BM_FileManagerCopyAgainstCp(benchmark::State& state) {
  RegisterAllClasses();
  const Workspace workspace;
  if (!workspace.ok()) {
    state.SkipWithError("cannot make the file");
    return;
  }
  double oursTotal = 0, cpTotal = 0;
  for (auto _ : state) {
    const double cpSeconds = CopyWithCp(workspace.Source(), workspace.Target("by_cp"));
    ::unlink(workspace.Target("by_cp").c_str());
    const double ours = CopyWithFileManager(workspace.Source(), workspace.Folder(), "by_file_manager");
    ::unlink(workspace.Target("by_file_manager").c_str());
    if (cpSeconds < 0 || ours < 0) {
      state.SkipWithError(cpSeconds < 0 ? "cp failed" : "the file manager's copy failed");
      return;
    }
    state.SetIterationTime(ours);
    oursTotal += ours;
    cpTotal += cpSeconds;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * workspace.Size());
  state.counters["file_MiB"] = static_cast<double>(workspace.Size() / kMiB);
  state.counters["cp_s"] = cpTotal / iterations;
  state.counters["ratio_to_cp"] = oursTotal > 0 ? cpTotal / oursTotal : 0;
}
BENCHMARK(BM_FileManagerCopyAgainstCp)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
