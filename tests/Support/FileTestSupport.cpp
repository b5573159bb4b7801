#include "FileTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

ScratchFolder::ScratchFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/hc_test.XXXXXX";
  if (::mkdtemp(pattern.data())) m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
  if (m_path.empty()) return;
  std::error_code ignored;
  // Read-only folders made by tests must not keep their contents.
  for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) ::chmod(it->path().c_str(), 0700);
  }
  std::filesystem::remove_all(m_path, ignored);
}

ScratchMount::ScratchMount(const std::string& sizeOption, bool readOnly) {
  if (m_folder.Path().empty()) return;
  const unsigned long flags = readOnly ? MS_RDONLY : 0;
  m_mounted = ::mount("tmpfs", m_folder.Path().c_str(), "tmpfs", flags, sizeOption.c_str()) == 0;
}

ScratchMount::~ScratchMount() {
  if (m_mounted) ::umount2(m_folder.Path().c_str(), MNT_DETACH);
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteRandomFile(const std::string& path, int64_t size, uint32_t seed) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<uint64_t> block((1 << 20) / sizeof(uint64_t));
  uint64_t state = 0x9e3779b97f4a7c15ull ^ seed;
  for (int64_t left = size; left > 0;) {
    for (auto& word : block) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      word = state;
    }
    const size_t count = static_cast<size_t>(std::min<int64_t>(left, 1 << 20));
    if (::write(fd, block.data(), count) != static_cast<ssize_t>(count)) break;
    left -= static_cast<int64_t>(count);
  }
  ::close(fd);
}

void WriteSparseFile(const std::string& path, int64_t size, const std::vector<int64_t>& dataOffsets) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char> data(1 << 20);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 26);
  for (int64_t offset : dataOffsets) {
    if (::pwrite(fd, data.data(), data.size(), offset) < 0) break;
  }
  if (::ftruncate(fd, size) != 0) {
    ::close(fd);
    return;
  }
  ::close(fd);
}

void SetTimes(const std::string& path, int64_t atimeSeconds, int64_t mtimeSeconds) {
  struct timespec times[2] = {{atimeSeconds, 123456789}, {mtimeSeconds, 987654321}};
  ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

struct stat StatOf(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info;
}

int RunTool(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int err = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> TreeEntries(const std::string& folder) {
  std::vector<std::string> entries;
  std::error_code ignored;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    entries.push_back(std::filesystem::relative(it->path(), folder).string());
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}
