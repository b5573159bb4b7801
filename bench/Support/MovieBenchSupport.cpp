#include "MovieBenchSupport.h"

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

extern char** environ;

namespace moviebench {
namespace {

struct Child {
  int status = -1;
  std::string errorText;
};

// Runs a program with an argument vector; returns its exit status and what it
// wrote to stderr.
Child Run(const std::vector<std::string>& argv) {
  Child child;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return child;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned == 0) {
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
      child.errorText.append(buffer, static_cast<size_t>(got));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    child.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::close(pipeFds[0]);
  return child;
}

std::vector<std::string> EncodeArguments(MovieKind kind) {
  const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight);
  const std::string source = "testsrc2=size=" + size + ":rate=" + std::to_string(kFps) +
                             ":duration=" + std::to_string(kFrames / kFps);
  if (kind == MovieKind::FastToDecode) {
    return {"-f", "lavfi", "-i", source, "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};
  }
  return {"-f", "lavfi", "-i", source, "-vf", "noise=alls=14:allf=t+u", "-c:v", "libx264", "-preset", "veryfast",
          "-profile:v", "high", "-bf", "3", "-g", "30", "-b:v", "40M", "-pix_fmt", "yuv420p"};
}

std::string Make(MovieKind kind) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "hc_bench_movies";
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  const std::string name = std::string("pano-") + NameOf(kind) + "-" + std::to_string(kWidth) + "x" +
                           std::to_string(kHeight) + "-" + std::to_string(kFrames) + ".mov";
  const std::filesystem::path path = folder / name;
  if (std::filesystem::exists(path)) return path;
  // Made under another name and moved in whole, so that a benchmark running
  // beside this one never reads half a movie.
  const std::filesystem::path partial = folder / (name + "." + std::to_string(::getpid()) + ".mov");
  std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"};
  const std::vector<std::string> encoding = EncodeArguments(kind);
  argv.insert(argv.end(), encoding.begin(), encoding.end());
  argv.push_back(partial);
  if (Run(argv).status != 0) return {};
  std::filesystem::rename(partial, path, ignored);
  return ignored ? std::string() : std::string(path);
}

}  // namespace

const char* NameOf(MovieKind kind) { return kind == MovieKind::FastToDecode ? "fast" : "real"; }

const std::string& MoviePath(MovieKind kind) {
  static std::mutex mutex;
  static std::map<MovieKind, std::string> made;
  std::lock_guard lock(mutex);
  auto it = made.find(kind);
  if (it == made.end()) it = made.emplace(kind, Make(kind)).first;
  return it->second;
}

int PinToCores(int cores) {
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return 0;
  cpu_set_t chosen;
  CPU_ZERO(&chosen);
  int count = 0;
  for (int cpu = 0; cpu < CPU_SETSIZE && count < cores; ++cpu) {
    if (CPU_ISSET(cpu, &allowed)) {
      CPU_SET(cpu, &chosen);
      ++count;
    }
  }
  return count > 0 && sched_setaffinity(0, sizeof chosen, &chosen) == 0 ? count : 0;
}

FfmpegRun RunFfmpegDecode(const std::string& path, int threads) {
  FfmpegRun run;
  const Child child = Run({"ffmpeg", "-hide_banner", "-nostdin", "-benchmark", "-threads", std::to_string(threads),
                           "-i", path, "-f", "null", "-"});
  const size_t at = child.errorText.find("rtime=");
  if (child.status != 0 || at == std::string::npos) return run;
  run.decodeSeconds = std::strtod(child.errorText.c_str() + at + 6, nullptr);
  run.ok = run.decodeSeconds > 0.0;
  return run;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

long MinorPageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

}  // namespace moviebench
