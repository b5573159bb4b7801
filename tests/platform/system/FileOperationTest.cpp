#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "SystemTestSupport.h"
#include "platform/system/FileErr.h"
#include "platform/system/FileOperation.h"
#include "platform/system/FileSystem.h"
#include "platform/system/FileTreeCopier.h"
#include "platform/system/RunLoop.h"

using namespace hc::system;
using namespace std::chrono_literals;

namespace {

constexpr int64_t kMiB = 1 << 20;

// Copies (or moves) and runs this thread's loop until the completion came.
std::vector<DeliveredStatus> RunOperation(bool move, const std::string& source, const std::string& folder,
                                 const char* newName, uint32_t options, double interval = 0.1) {
  std::vector<DeliveredStatus> log;
  FileOperation operation;
  const int err = move ? operation.MoveAsync(source.c_str(), folder.c_str(), newName, options, Recorder(log), interval)
                       : operation.CopyAsync(source.c_str(), folder.c_str(), newName, options, Recorder(log), interval);
  EXPECT_EQ(kFileErrNone, err);
  if (err != kFileErrNone) return log;
  EXPECT_EQ(kFileErrNone, operation.Schedule(RunLoop::Current()));
  RunUntilComplete(log);
  EXPECT_TRUE(operation.IsFinished());
  return log;
}

const FileOperationStatus& Completion(const std::vector<DeliveredStatus>& log) { return log.back().status; }

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  ListDirectory(folder.c_str(), names);
  return names;
}

}  // namespace

TEST(FileOperation, CopiesAFileKeepingModeTimesAndHoles) {
  ScratchFolder scratch;
  const std::string source = scratch / "sparse.bin";
  WriteSparseFile(source, 64 * kMiB, {0, 40 * kMiB});
  ::chmod(source.c_str(), 0640);
  SetTimes(source, 1000000000, 1100000000);
  ::mkdir((scratch / "out").c_str(), 0755);

  const auto log = RunOperation(false, source, scratch / "out", "copy.bin", FileOperation::kOptionNone);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(FileOperationStage::kPreflighting, log.front().status.stage);
  const FileOperationStatus& done = Completion(log);
  EXPECT_EQ(FileOperationStage::kComplete, done.stage);
  EXPECT_EQ(kFileErrNone, done.error);
  EXPECT_EQ(64 * kMiB, done.totalBytes.value_or(-1));
  EXPECT_EQ(64 * kMiB, done.completedBytes.value_or(-1));
  EXPECT_EQ(scratch / "out/copy.bin", done.currentItem.value_or(""));

  const std::string copy = scratch / "out/copy.bin";
  EXPECT_EQ(0, RunTool({"cmp", source, copy}));
  const struct stat from = StatOf(source), to = StatOf(copy);
  EXPECT_EQ(from.st_mode, to.st_mode);
  EXPECT_EQ(from.st_mtim.tv_sec, to.st_mtim.tv_sec);
  EXPECT_EQ(from.st_mtim.tv_nsec, to.st_mtim.tv_nsec);
  EXPECT_EQ(from.st_atim.tv_sec, to.st_atim.tv_sec);
  EXPECT_LE(to.st_blocks, from.st_blocks + 64) << "holes stay holes";
  EXPECT_EQ((std::vector<std::string>{"copy.bin"}), Names(scratch / "out"));
}

TEST(FileOperation, ReportsOnTheSchedulingThreadNoMoreOftenThanTheIntervalAndCompletionLast) {
  ScratchFolder scratch;
  ::mkdir((scratch / "tree").c_str(), 0755);
  for (int i = 0; i < 4; ++i) WriteRandomFile(scratch / ("tree/f" + std::to_string(i)), 24 * kMiB, i);
  ::mkdir((scratch / "out").c_str(), 0755);

  std::vector<std::thread::id> threads;
  std::vector<DeliveredStatus> log;
  FileOperation operation;
  ASSERT_EQ(kFileErrNone, operation.CopyAsync((scratch / "tree").c_str(), (scratch / "out").c_str(), nullptr, 0,
                                              [&](const FileOperationStatus& status) {
                                                threads.push_back(std::this_thread::get_id());
                                                log.push_back({status, std::chrono::steady_clock::now()});
                                                // A slow receiver must not make deliveries pile up.
                                                std::this_thread::sleep_for(30ms);
                                              },
                                              0.1));
  ASSERT_EQ(kFileErrNone, operation.Schedule(RunLoop::Current()));
  RunUntilComplete(log);
  ASSERT_GE(log.size(), 2u);
  for (const auto& id : threads) EXPECT_EQ(std::this_thread::get_id(), id);
  for (size_t i = 1; i + 1 < log.size(); ++i) {
    EXPECT_GE(log[i].time - log[i - 1].time, 95ms) << "delivery " << i;
    EXPECT_NE(FileOperationStage::kComplete, log[i].status.stage);
  }
  int64_t lastDone = 0;
  for (const auto& entry : log) {
    const int64_t done = entry.status.completedBytes.value_or(0);
    EXPECT_GE(done, lastDone);
    lastDone = done;
  }
  EXPECT_EQ(FileOperationStage::kComplete, Completion(log).stage);
  EXPECT_EQ(96 * kMiB, Completion(log).completedBytes.value_or(0));
  EXPECT_EQ(0, RunTool({"diff", "-r", scratch / "tree", scratch / "out/tree"}));
}

TEST(FileOperation, CancelStopsTheWorkAndLeavesNothingBehind) {
  ScratchFolder scratch;
  WriteRandomFile(scratch / "big.bin", 256 * kMiB, 7);
  // Slow enough that a busy machine still catches it half-way.
  FileTreeCopier::SetChunkPauseForTesting(50);
  ::mkdir((scratch / "out").c_str(), 0755);
  std::vector<DeliveredStatus> log;
  FileOperation operation;
  ASSERT_EQ(kFileErrNone, operation.CopyAsync((scratch / "big.bin").c_str(), (scratch / "out").c_str(), nullptr, 0,
                                              [&](const FileOperationStatus& status) {
                                                log.push_back({status, std::chrono::steady_clock::now()});
                                                if (status.completedBytes.value_or(0) > 0 &&
                                                    status.stage == FileOperationStage::kRunning) {
                                                  EXPECT_EQ(kFileErrNone, operation.Cancel());
                                                }
                                              },
                                              0.0));
  ASSERT_EQ(kFileErrNone, operation.Schedule(RunLoop::Current()));
  RunUntilComplete(log);
  FileTreeCopier::SetChunkPauseForTesting(0);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(kFileErrCancelled, Completion(log).error);
  EXPECT_LT(Completion(log).completedBytes.value_or(0), 256 * kMiB);
  EXPECT_TRUE(Names(scratch / "out").empty());
  EXPECT_EQ(kFileErrParam, operation.Cancel()) << "nothing left to cancel";
}

TEST(FileOperation, KeepsAnExistingItemUnlessToldToReplaceIt) {
  struct Case {
    const char* what;
    bool sourceIsFolder;
    bool targetIsFolder;
    bool overwrite;
  };
  const Case cases[] = {
      {"file onto file", false, false, false}, {"file onto file, replacing", false, false, true},
      {"folder onto folder", true, true, false}, {"folder onto full folder, replacing", true, true, true},
      {"file onto folder, replacing", false, true, true},
  };
  for (const Case& c : cases) {
    for (bool move : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (move ? " (move)" : " (copy)"));
      ScratchFolder scratch;
      const std::string source = scratch / "item";
      if (c.sourceIsFolder) {
        ::mkdir(source.c_str(), 0755);
        WriteText(source + "/inside", "new");
      } else {
        WriteText(source, "new");
      }
      ::mkdir((scratch / "out").c_str(), 0755);
      const std::string target = scratch / "out/item";
      if (c.targetIsFolder) {
        ::mkdir(target.c_str(), 0755);
        WriteText(target + "/old", "old");
      } else {
        WriteText(target, "old");
      }
      const auto log = RunOperation(move, source, scratch / "out", nullptr, c.overwrite ? uint32_t{FileOperation::kOptionOverwrite} : 0u);
      ASSERT_FALSE(log.empty());
      const std::string newContent = c.sourceIsFolder ? target + "/inside" : target;
      if (c.overwrite) {
        EXPECT_EQ(kFileErrNone, Completion(log).error);
        EXPECT_EQ("new", ReadText(newContent));
        EXPECT_FALSE(ItemExists((target + "/old").c_str()));
        EXPECT_EQ(move, !ItemExists(source.c_str()));
      } else {
        EXPECT_EQ(kFileErrDuplicate, Completion(log).error);
        EXPECT_EQ("old", ReadText(c.targetIsFolder ? target + "/old" : target));
        EXPECT_TRUE(ItemExists(source.c_str()));
      }
      EXPECT_EQ((std::vector<std::string>{"item"}), Names(scratch / "out")) << "no temporary item left";
    }
  }
}

TEST(FileOperation, RefusesRequestsItCannotServe) {
  ScratchFolder scratch;
  ::mkdir((scratch / "folder").c_str(), 0755);
  ::mkdir((scratch / "folder/sub").c_str(), 0755);
  WriteText(scratch / "file", "x");
  struct Case {
    std::string source;
    std::string folder;
    const char* name;
    int expected;
  };
  const Case cases[] = {
      {scratch / "missing", scratch.Path(), nullptr, kFileErrNotFound},
      {scratch / "file", scratch / "no-folder", nullptr, kFileErrFolderNotFound},
      {scratch / "file", scratch / "file", nullptr, kFileErrNotAFolder},
      {scratch / "file", scratch / "folder", "a/b", kFileErrParam},
      {scratch / "file", scratch / "folder", "..", kFileErrParam},
      {scratch / "folder", scratch / "folder/sub", nullptr, kFileErrParam},
      {scratch / "folder", scratch / "folder", "again", kFileErrParam},
      {"", scratch.Path(), nullptr, kFileErrParam},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " -> " + c.folder);
    FileOperation copy;
    EXPECT_EQ(c.expected, copy.CopyAsync(c.source.c_str(), c.folder.c_str(), c.name, 0, nullptr, 0.1));
    FileOperation move;
    EXPECT_EQ(c.expected, move.MoveAsync(c.source.c_str(), c.folder.c_str(), c.name, 0, nullptr, 0.1));
  }
  FileOperation twice;
  ASSERT_EQ(kFileErrNone, twice.CopyAsync((scratch / "file").c_str(), (scratch / "folder").c_str(), nullptr, 0,
                                          nullptr, 0.1));
  EXPECT_EQ(kFileErrParam, twice.CopyAsync((scratch / "file").c_str(), (scratch / "folder").c_str(), "other", 0,
                                           nullptr, 0.1));
  FileOperation unrequested;
  EXPECT_EQ(kFileErrParam, unrequested.Schedule(RunLoop::Current()));
  EXPECT_EQ(kFileErrParam, unrequested.Cancel());
}

TEST(FileOperation, MovesByRenamingWithinAFileSystemAndByCopyingAcross) {
  ScratchFolder scratch;
  ::mkdir((scratch / "tree").c_str(), 0750);
  WriteRandomFile(scratch / "tree/data", 3 * kMiB, 3);
  ::symlink("data", (scratch / "tree/link").c_str());
  ::mkdir((scratch / "out").c_str(), 0755);
  const ino_t inode = StatOf(scratch / "tree").st_ino;
  auto log = RunOperation(true, scratch / "tree", scratch / "out", "moved", 0);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(kFileErrNone, Completion(log).error);
  EXPECT_EQ(inode, StatOf(scratch / "out/moved").st_ino) << "renamed, not copied";
  EXPECT_FALSE(ItemExists((scratch / "tree").c_str()));

  ScratchMount other("size=16m", false);
  if (!other.Available()) GTEST_SKIP() << "no second file system can be mounted here";
  const struct stat before = StatOf(scratch / "out/moved");
  log = RunOperation(true, scratch / "out/moved", other.Path(), nullptr, 0);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(kFileErrNone, Completion(log).error);
  EXPECT_FALSE(ItemExists((scratch / "out/moved").c_str()));
  const std::string moved = other.Path() + "/moved";
  EXPECT_EQ(before.st_mode, StatOf(moved).st_mode);
  EXPECT_EQ(before.st_mtim.tv_sec, StatOf(moved).st_mtim.tv_sec);
  EXPECT_TRUE(S_ISLNK(StatOf(moved + "/link").st_mode));
  EXPECT_EQ(3 * kMiB, StatOf(moved + "/data").st_size);
}

TEST(FileOperation, AFullDestinationFailsAndLeavesNothingBehind) {
  ScratchFolder scratch;
  WriteRandomFile(scratch / "big.bin", 4 * kMiB, 9);
  ::mkdir((scratch / "out").c_str(), 0755);
  ScratchMount small("size=1m", false);
  // A real small file system where one can be mounted, and always the same
  // failure simulated (what runs where mounting is not allowed).
  for (bool simulated : {false, true}) {
    if (!simulated && !small.Available()) continue;
    SCOPED_TRACE(simulated ? "simulated" : "tmpfs");
    const std::string folder = simulated ? scratch / "out" : small.Path();
    if (simulated) FileTreeCopier::InjectFaultForTesting(ENOSPC, kMiB);
    const auto log = RunOperation(false, scratch / "big.bin", folder, nullptr, 0);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(kFileErrDiskFull, Completion(log).error);
    EXPECT_TRUE(Names(folder).empty());
  }
}

TEST(FileOperation, ForcedRemovalTakesNamesAsTheyAre) {
  ScratchFolder scratch;
  const std::string odd = scratch / "a \"b\" $(touch pwned) `touch pwned2` $HOME";
  ::mkdir(odd.c_str(), 0755);
  WriteText(odd + "/inner", "x");
  ::symlink(scratch.Path().c_str(), (odd + "/up").c_str());
  WriteText(scratch / "keep", "k");

  EXPECT_EQ(kFileErrNotAFile, RemoveItem(odd.c_str(), false));
  EXPECT_EQ(kFileErrNone, RemoveItem(odd.c_str(), true));
  EXPECT_EQ((std::vector<std::string>{"keep"}), Names(scratch.Path())) << "links are not followed";
  EXPECT_EQ(kFileErrNone, RemoveItem((scratch / "missing").c_str(), false));
  EXPECT_EQ(kFileErrNotFound, RemoveFile((scratch / "missing").c_str()));

  EXPECT_EQ(kFileErrNone, MakeDirectory((scratch / "made").c_str(), 0775));
  EXPECT_EQ(kFileErrNone, MakeDirectory((scratch / "made").c_str(), 0775));
  EXPECT_EQ(kFileErrDuplicate, MakeDirectory((scratch / "keep").c_str(), 0775));
  EXPECT_EQ(kFileErrNotFound, MakeDirectory((scratch / "no/such").c_str(), 0775));
  std::vector<std::string> names;
  EXPECT_EQ(kFileErrNotFound, ListDirectory((scratch / "missing").c_str(), names));
  EXPECT_EQ((std::vector<std::string>{"keep", "made"}), Names(scratch.Path()));
}
