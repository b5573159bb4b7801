// Copy of a large file through the file manager (request, start, wait on the
// report while this thread's run loop delivers the progress), against cp
// copying the same file in the same run. Before each copy, on either side,
// the previous copy is removed, everything written is flushed to the disk
// and the source is read through once, so both start with the source in the
// page cache and no write-back pending. Rounds alternate which side runs
// first; x_cp is the median over the rounds of our time over cp's (goal: at
// most 1.25, that is at least 0.8 of cp's speed).
// HC_OPERATIONS_BENCH_BYTES sets the file's size (default 1 GiB); with too
// little free space for the file and two copies the size is halved until it
// fits (the size used is printed as file_MiB).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "InterfaceCommon/ProgressReport.h"
#include "PairedTiming.h"
#include "RegisterAllClasses.h"
#include "Utilities/FileManager.h"

extern char** environ;

namespace {

constexpr int64_t kMiB = int64_t{1} << 20;

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder && *folder ? folder : "/tmp";
}

// The requested size, halved while the file and two copies would not fit.
int64_t FileSize(const std::string& folder) {
  if (hc::bench::SmokeRun()) return 4 * kMiB;
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

bool CopyWithCp(const std::string& from, const std::string& to) {
  std::vector<char*> argv = {const_cast<char*>("cp"), const_cast<char*>(from.c_str()),
                             const_cast<char*>(to.c_str()), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, "cp", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool CopyWithFileManager(const std::string& from, const std::string& folder, const std::string& name) {
  auto manager = KsMakeRef<FileManager>();
  KsRef<ProgressReport> report = manager->CopyFrom(from, folder, name, false);
  manager->Start();
  manager = nullptr;
  return report->Wait() == ProgressReport::kDone;
}

// The same start for either side: no copy left, nothing waiting to be
// written, the source in the page cache.
void PrepareCopy(const Workspace& workspace) {
  ::unlink(workspace.Target("by_cp").c_str());
  ::unlink(workspace.Target("by_file_manager").c_str());
  const int fd = ::open(workspace.Source().c_str(), O_RDONLY);
  if (fd < 0) return;
  ::syncfs(fd);
  std::vector<char> block(static_cast<size_t>(kMiB));
  while (::read(fd, block.data(), block.size()) > 0) {
  }
  ::close(fd);
}

void BM_FileManagerCopyAgainstCp(benchmark::State& state) {
  RegisterAllClasses();
  const Workspace workspace;
  if (!workspace.ok()) {
    state.SkipWithError("cannot make the file");
    return;
  }
  hc::bench::PairedTimes times("cp");
  for (auto _ : state) {
    const bool ok = times.RunRound(
        [&] { return CopyWithFileManager(workspace.Source(), workspace.Folder(), "by_file_manager"); },
        [&] { return CopyWithCp(workspace.Source(), workspace.Target("by_cp")); }, [&] { PrepareCopy(workspace); });
    if (!ok) {
      state.SkipWithError("a copy failed");
      return;
    }
    state.SetIterationTime(times.LastOurs());
  }
  PrepareCopy(workspace);
  times.Report(state);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * workspace.Size());
  state.counters["file_MiB"] = static_cast<double>(workspace.Size() / kMiB);
  state.counters["goal_at_most"] = 1.25;
}
BENCHMARK(BM_FileManagerCopyAgainstCp)
    ->Iterations(hc::bench::Rounds(7))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
