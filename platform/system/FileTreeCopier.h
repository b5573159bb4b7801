#pragma once

#include <sys/stat.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace hc::system {

// What a copy tells about its progress, and asks about cancellation.
class CopyObserver {
 public:
  virtual ~CopyObserver() = default;
  virtual bool IsCancelled() const = 0;
  // The item (source path) the copy works on now.
  virtual void BeginItem(const std::string& sourcePath) = 0;
  // Bytes of regular files done (copied, or skipped as holes).
  virtual void AddBytes(int64_t count) = 0;
};

// Copies files, folders and symbolic links recursively, keeping permission
// bits and access and modification times; holes of sparse files stay holes.
// Sources are read without changing their access times where the system
// allows. Works synchronously on the calling thread; answers FileErr codes.
class FileTreeCopier {
 public:
  explicit FileTreeCopier(CopyObserver& observer) : m_observer(observer) {}

  // The byte count of the regular files below (and at) the path, symbolic
  // links not followed.
  int Measure(const std::string& path, int64_t& totalBytes);

  // Copies the item to `target`, which must not exist.
  int Copy(const std::string& source, const std::string& target);

  // Makes the next data copy of any copier fail with the errno value once
  // `afterBytes` bytes of it are done (tests of failures no disk here gives).
  static void InjectFaultForTesting(int errnoValue, int64_t afterBytes);
  // Makes every copier pause this long after each chunk of data (tests that
  // must catch a copy half-way); 0 ends the pauses.
  static void SetChunkPauseForTesting(int milliseconds);

 private:
  int CopyFolder(const std::string& source, const std::string& target, const struct stat& info);
  int CopyLink(const std::string& source, const std::string& target, const struct stat& info);
  int CopyFile(const std::string& source, const std::string& target);
  int CopySpecial(const std::string& target, const struct stat& info);
  int CopyData(int from, int to, int64_t size);
  int CopyRange(int from, int to, int64_t begin, int64_t end);
  int CopyRangeByReading(int from, int to, int64_t begin, int64_t end);
  int CheckInjectedFault(int64_t bytesAhead);
  void ChunkDone(int64_t bytes);

  CopyObserver& m_observer;
  bool m_kernelCopyWorks = true;
  int64_t m_dataBytesDone = 0;
};

}  // namespace hc::system
