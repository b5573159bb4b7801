#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/FileOperation.h"

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

// Every status one operation delivered, with when it came.
struct DeliveredStatus {
  hc::system::FileOperationStatus status;
  std::chrono::steady_clock::time_point time;
};

// Makes the callback that records into `log`.
hc::system::FileOperation::StatusCallback Recorder(std::vector<DeliveredStatus>& log);
// Runs this thread's loop until the log ends with a completion (or 60 s),
// then a little longer to catch anything after it.
void RunUntilComplete(const std::vector<DeliveredStatus>& log);
