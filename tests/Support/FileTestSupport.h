#pragma once

// Scratch folders, small file systems, files and tools the suites share.

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder below the temporary folder, removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& Path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// A small tmpfs mounted on a fresh folder, when this process may mount
// (Available() tells); unmounted at the end.
class ScratchMount {
 public:
  ScratchMount(const std::string& sizeOption, bool readOnly);
  ~ScratchMount();
  bool Available() const { return m_mounted; }
  const std::string& Path() const { return m_folder.Path(); }

 private:
  ScratchFolder m_folder;
  bool m_mounted = false;
};

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
// `size` bytes of pseudo-random data.
void WriteRandomFile(const std::string& path, int64_t size, uint32_t seed);
// A file of `size` bytes whose only data are 1 MiB blocks at the offsets.
void WriteSparseFile(const std::string& path, int64_t size, const std::vector<int64_t>& dataOffsets);
void SetTimes(const std::string& path, int64_t atimeSeconds, int64_t mtimeSeconds);
struct stat StatOf(const std::string& path);

// Runs a tool (by name, found on PATH) with arguments; answers its exit status.
int RunTool(const std::vector<std::string>& arguments);
// Every entry below the folder, as paths relative to it, sorted.
std::vector<std::string> TreeEntries(const std::string& folder);
