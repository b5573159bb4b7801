#pragma once

// Folders, files, tools and file systems the file-manager suite works with.

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

namespace operations_test {

// A fresh folder below the temporary folder, removed with its contents.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// A small tmpfs on a fresh folder, when this process may mount one.
class SmallFileSystem {
 public:
  SmallFileSystem(const char* sizeOption, bool readOnly);
  ~SmallFileSystem();
  bool Mounted() const { return m_mounted; }
  const std::string& Path() const { return m_dir.Path(); }

 private:
  ScratchDir m_dir;
  bool m_mounted = false;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
void WriteRandomBytes(const std::string& path, int64_t size, uint32_t seed);
struct stat LStat(const std::string& path);
// Runs a tool found on PATH with the arguments; its exit status.
int RunProgram(const std::vector<std::string>& arguments);
// Every entry below the folder, as paths relative to it, sorted.
std::vector<std::string> TreeEntries(const std::string& folder);

}  // namespace operations_test
