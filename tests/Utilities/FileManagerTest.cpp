#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "FileTestSupport.h"
#include "General/HcClassMap.h"
#include "General/WeakRef.h"
#include "OperationTestSupport.h"
#include "General/FloatCollection.h"
#include "Utilities/FileManager.h"
#include "Utilities/KsOperationSequence.h"
#include "platform/system/FileOperation.h"
#include "platform/system/FileTreeCopier.h"
#include "platform/system/RunLoop.h"

using namespace operations_test;
using namespace std::chrono_literals;

namespace {

constexpr int64_t kMiB = 1 << 20;

class FileManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterOnce(); }
};

std::vector<eAppErr> EntryCodes(const KsRef<ProgressReport>& report) {
  std::vector<eAppErr> codes;
  auto entries = report->GetStatusReports();
  for (uint32_t i = 0; i < entries->GetCount(); ++i) codes.push_back(entries->GetByIndex(i)->GetStatus());
  return codes;
}

// Starts the manager's request on this thread, lets go of the manager (the
// report keeps it) and waits on the report, which runs this thread's loop.
eAppErr StartAndWait(KsRef<FileManager> manager, const KsRef<ProgressReport>& report) {
  manager->Start();
  manager = nullptr;
  return report->Wait();
}

// Runs this thread's loop until the report lets go of its manager (the
// completion has been delivered), then a little longer.
void RunUntilDetached(const KsRef<ProgressReport>& report) {
  auto loop = hc::system::RunLoop::Current();
  loop->RunUntil([&] { return report->GetOperationKeepAlive().IsEmpty(); }, 60s);
  loop->RunFor(300ms);
}

// A tree of a few hundred small files in nested folders, one read-only
// folder, a symbolic link and a 200 MB sparse file, with set modes and times.
int64_t MakeTree(const std::string& root) {
  int64_t bytes = 0;
  ::mkdir(root.c_str(), 0755);
  for (int folder = 0; folder < 10; ++folder) {
    const std::string sub = root + "/sub" + std::to_string(folder);
    ::mkdir(sub.c_str(), 0750);
    for (int file = 0; file < 30; ++file) {
      const std::string path = sub + "/file" + std::to_string(file) + ".txt";
      const std::string text(static_cast<size_t>(folder * 100 + file), static_cast<char>('a' + file % 26));
      WriteText(path, text);
      ::chmod(path.c_str(), file % 3 == 0 ? 0600 : (file % 3 == 1 ? 0644 : 0755));
      bytes += static_cast<int64_t>(text.size());
    }
  }
  ::symlink("sub1/file1.txt", (root + "/link").c_str());
  const int fd = ::open((root + "/sparse.bin").c_str(), O_WRONLY | O_CREAT, 0640);
  const std::string block(kMiB, 'z');
  EXPECT_EQ(static_cast<ssize_t>(block.size()), ::pwrite(fd, block.data(), block.size(), 100 * kMiB));
  EXPECT_EQ(0, ::ftruncate(fd, 200 * kMiB));
  ::close(fd);
  bytes += 200 * kMiB;
  ::chmod((root + "/sub9").c_str(), 0555);
  // Times last, deepest first, so that nothing written later moves them.
  std::vector<std::string> entries = TreeEntries(root);
  std::sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return std::count(a.begin(), a.end(), '/') > std::count(b.begin(), b.end(), '/');
  });
  long long stamp = 1200000000;
  for (const std::string& entry : entries) {
    struct timespec times[2] = {{stamp, 111}, {stamp + 7, 222}};
    ::utimensat(AT_FDCWD, (root + "/" + entry).c_str(), times, AT_SYMLINK_NOFOLLOW);
    stamp += 3600;
  }
  return bytes;
}

}  // namespace

TEST_F(FileManagerTest, CopiesATreeWithProgressKeepingModesAndTimes) {
  ScratchFolder scratch;
  const std::string tree = scratch / "tree";
  const int64_t bytes = MakeTree(tree);
  ::mkdir((scratch / "out").c_str(), 0755);

  KsRef<FileManager> manager = MakeObject<FileManager>("FileManager");
  ASSERT_TRUE(manager);
  KsRef<ProgressReport> report = manager->CopyFrom(tree, scratch / "out", PWStringRef(), false);
  EXPECT_EQ(20, report->GetStatus());
  EXPECT_EQ("Copy Files", report->GetName().Str());
  EXPECT_EQ(2, report->GetTaskMode());
  auto watcher = KsMakeRef<ReportWatcher>();
  watcher->Watch(report, {ProgressReport::kProgressId, ProgressReport::kMaxProgressId});
  const std::vector<std::string> entries = TreeEntries(tree);
  WeakRef::Ref weakManager = WeakRef::GetWeakRef(manager.Get());

  EXPECT_EQ(22, StartAndWait(std::move(manager), report));
  EXPECT_EQ("Completed.", report->GetDescription().Str());
  EXPECT_TRUE(EntryCodes(report).empty());
  EXPECT_EQ(static_cast<float>(bytes), report->GetMaxProgress());
  EXPECT_EQ(report->GetMaxProgress(), report->GetProgress());
  float last = 0.0f;
  for (const auto& notice : watcher->Notices()) {
    if (notice.id != ProgressReport::kProgressId) continue;
    EXPECT_GE(notice.progress, last) << "progress never goes back";
    last = notice.progress;
  }
  EXPECT_TRUE(report->GetOperationKeepAlive().IsEmpty());
  EXPECT_FALSE(weakManager->GetTarget()) << "the manager goes once its completion is delivered";

  // Compared before anything reads the trees (reading moves access times).
  const std::string copy = scratch / "out/tree";
  EXPECT_GT(entries.size(), 300u);
  for (const std::string& entry : entries) {
    SCOPED_TRACE(entry);
    const struct stat from = StatOf(tree + "/" + entry), to = StatOf(copy + "/" + entry);
    EXPECT_EQ(from.st_mode, to.st_mode);
    EXPECT_EQ(from.st_mtim.tv_sec, to.st_mtim.tv_sec);
    EXPECT_EQ(from.st_mtim.tv_nsec, to.st_mtim.tv_nsec);
    EXPECT_EQ(from.st_atim.tv_sec, to.st_atim.tv_sec);
    EXPECT_EQ(from.st_atim.tv_nsec, to.st_atim.tv_nsec);
    EXPECT_EQ(from.st_size, to.st_size);
  }
  EXPECT_EQ(0, RunTool({"diff", "-r", tree, copy}));
  EXPECT_EQ(entries, TreeEntries(copy));
  EXPECT_LT(StatOf(copy + "/sparse.bin").st_blocks, 8 * 1024) << "the holes stayed holes";
}

TEST_F(FileManagerTest, CancelledHalfWayItEndsCancelledAndSaysNothingAfterItsCompletion) {
  ScratchFolder scratch;
  WriteRandomFile(scratch / "big.bin", 256 * kMiB, 1);
  // Slow enough that a busy machine still catches it half-way.
  hc::system::FileTreeCopier::SetChunkPauseForTesting(50);
  ::mkdir((scratch / "out").c_str(), 0755);
  auto manager = KsMakeRef<FileManager>();
  KsRef<ProgressReport> report = manager->CopyFrom(scratch / "big.bin", scratch / "out", PWStringRef(), false);

  // Cancels at the first progress that has begun.
  class Canceller : public ReportWatcher {
   public:
    void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                               const KsRef<KsObject>& description) override {
      ReportWatcher::ObservePropertyChange(object, property, description);
      auto report = object.DynamicCast<ProgressReport>();
      if (!cancelled && report && report->GetProgress() > 0.0f) {
        cancelled = true;
        report->CancelOperation();
      }
    }
    bool cancelled = false;
  };
  auto watcher = KsMakeRef<Canceller>();
  watcher->Watch(report, {ProgressReport::kProgressId, StatusReport::kStatusId, StatusReport::kDescriptionId,
                          ProgressReport::kOperationKeepAliveId});
  EXPECT_EQ(23, StartAndWait(std::move(manager), report));
  RunUntilDetached(report);
  hc::system::FileTreeCopier::SetChunkPauseForTesting(0);
  EXPECT_TRUE(watcher->cancelled);
  EXPECT_EQ(23, report->GetStatus());
  EXPECT_LT(report->GetProgress(), report->GetMaxProgress());
  const auto notices = watcher->Notices();
  ASSERT_FALSE(notices.empty());
  EXPECT_EQ(ProgressReport::kOperationKeepAliveId, notices.back().id) << "nothing after the completion";
  EXPECT_TRUE(TreeEntries(scratch / "out").empty()) << "no partial copy left";
}

TEST_F(FileManagerTest, FailuresFailTheReportWithAMessageNamingTheError) {
  ScratchFolder scratch;
  WriteRandomFile(scratch / "big.bin", 4 * kMiB, 2);
  ::mkdir((scratch / "out").c_str(), 0755);
  WriteText(scratch / "out/big.bin", "old");

  // A missing source is refused at the request.
  auto manager = KsMakeRef<FileManager>();
  const std::string missing = scratch / "no such \"file\"";
  KsRef<ProgressReport> refused = manager->CopyFrom(missing, scratch / "out", PWStringRef(), false);
  EXPECT_EQ(-28, refused->GetStatus());
  EXPECT_EQ(std::vector<eAppErr>{-301}, EntryCodes(refused));
  EXPECT_EQ("Copy failed because '" + missing + "' could not be found.", refused->GetDescription().Str());
  EXPECT_TRUE(refused->GetOperationKeepAlive().IsEmpty());
  KsRef<ProgressReport> moveRefused = manager->MoveFrom(scratch / "big.bin", scratch / "nowhere", "x", false);
  EXPECT_EQ(-28, moveRefused->GetStatus());
  EXPECT_EQ("Move failed because the folder '" + scratch / "nowhere" + "' could not be found.",
            moveRefused->GetDescription().Str());

  // An existing item is not replaced unless asked.
  KsRef<ProgressReport> existing = manager->CopyFrom(scratch / "big.bin", scratch / "out", PWStringRef(), false);
  EXPECT_EQ(-28, StartAndWait(manager, existing));
  EXPECT_EQ(std::vector<eAppErr>{-317}, EntryCodes(existing));
  EXPECT_EQ("Copy failed because a file already exists with the same name. (Error -317)",
            existing->GetDescription().Str());
  EXPECT_EQ("old", ReadText(scratch / "out/big.bin"));
  auto replacer = KsMakeRef<FileManager>();
  KsRef<ProgressReport> replaced = replacer->CopyFrom(scratch / "big.bin", scratch / "out", PWStringRef(), true);
  EXPECT_EQ(22, StartAndWait(replacer, replaced));
  EXPECT_EQ(4 * kMiB, StatOf(scratch / "out/big.bin").st_size);

  // A read-only and a full destination: real small file systems where they
  // can be mounted, else the same errors simulated.
  struct Case {
    const char* what;
    bool readOnly;
    int simulatedErrno;
    eAppErr code;
    std::string message;
  };
  const Case cases[] = {
      {"read-only", true, EROFS, -314, "Copy failed because the destination is read-only. (Error -314)"},
      {"full", false, ENOSPC, -305,
       "Copy failed because there is not enough space at the destination. (Error -305)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchMount destination("size=1m", c.readOnly);
    ScratchFolder fallback;
    std::string folder = destination.Path();
    eAppErr code = c.code;
    std::string message = c.message;
    if (!destination.Available() && c.readOnly && ::geteuid() != 0) {
      // Without a read-only file system, a folder without write permission.
      folder = fallback.Path();
      ::chmod(folder.c_str(), 0555);
      code = -322;
      message = "Copy failed because permission was denied. (Error -322)";
    } else if (!destination.Available()) {
      folder = fallback.Path();
      hc::system::FileTreeCopier::InjectFaultForTesting(c.simulatedErrno, 0);
    }
    auto copier = KsMakeRef<FileManager>();
    KsRef<ProgressReport> report = copier->CopyFrom(scratch / "big.bin", folder, PWStringRef(), false);
    EXPECT_EQ(-28, StartAndWait(copier, report));
    RunUntilDetached(report);
    EXPECT_EQ(std::vector<eAppErr>{code}, EntryCodes(report));
    EXPECT_EQ(message, report->GetDescription().Str());
    EXPECT_TRUE(TreeEntries(folder).empty());
  }
}

TEST_F(FileManagerTest, ASecondRequestWhileOneRunsIsRefusedAndTheFirstGoesOn) {
  ScratchFolder scratch;
  WriteRandomFile(scratch / "a.bin", 64 * kMiB, 3);
  ::mkdir((scratch / "out").c_str(), 0755);
  auto manager = KsMakeRef<FileManager>();
  KsRef<ProgressReport> first = manager->CopyFrom(scratch / "a.bin", scratch / "out", PWStringRef(), false);
  manager->Start();
  KsRef<ProgressReport> second = manager->MoveFrom(scratch / "a.bin", scratch / "out", "b.bin", false);
  EXPECT_EQ(-28, second->GetStatus());
  EXPECT_EQ(std::vector<eAppErr>{AppErr::kAlreadyAssigned}, EntryCodes(second));
  EXPECT_EQ("Move failed because another copy or move is in progress.", second->GetDescription().Str());
  manager = nullptr;
  EXPECT_EQ(22, first->Wait());
  EXPECT_EQ(64 * kMiB, StatOf(scratch / "out/a.bin").st_size);
}

TEST_F(FileManagerTest, MovesWithinAFileSystemByRenaming) {
  ScratchFolder scratch;
  ::mkdir((scratch / "folder").c_str(), 0700);
  WriteText(scratch / "folder/inside", "x");
  ::mkdir((scratch / "out").c_str(), 0755);
  const ino_t inode = StatOf(scratch / "folder").st_ino;
  auto manager = KsMakeRef<FileManager>();
  KsRef<ProgressReport> report = manager->MoveFrom(scratch / "folder", scratch / "out", "renamed", false);
  EXPECT_EQ("Move Files", report->GetName().Str());
  EXPECT_EQ(22, StartAndWait(manager, report));
  EXPECT_EQ(inode, StatOf(scratch / "out/renamed").st_ino);
  EXPECT_EQ("x", ReadText(scratch / "out/renamed/inside"));
  EXPECT_NE(0, ::access((scratch / "folder").c_str(), F_OK));
}

TEST_F(FileManagerTest, StatusesBecomeProgressAndDescriptions) {
  ScratchFolder scratch;
  WriteText(scratch / "photo.jpg", "jpeg");
  auto manager = KsMakeRef<FileManager>();
  KsRef<ProgressReport> report = manager->MoveFrom(scratch / "photo.jpg", scratch.Path(), "other.jpg", false);
  using hc::system::FileOperationStage;
  hc::system::FileOperationStatus status;
  status.stage = FileOperationStage::kPreflighting;
  manager->StatusCallback(status);
  EXPECT_EQ("Preparing to copy...", report->GetDescription().Str());
  status.stage = FileOperationStage::kRunning;
  status.currentItem = "/somewhere/photo.jpg";
  status.totalBytes = 400;
  status.completedBytes = 100;
  manager->StatusCallback(status);
  EXPECT_EQ("Copying \"photo.jpg\"...", report->GetDescription().Str());
  EXPECT_EQ(400.0f, report->GetMaxProgress());
  EXPECT_EQ(0.25f, report->GetPercentComplete());
  status.currentItem.reset();
  manager->StatusCallback(status);
  EXPECT_EQ("", report->GetDescription().Str());
}

TEST_F(FileManagerTest, DeletesAndMakesFoldersByTheirExactNames) {
  ScratchFolder scratch;
  const std::string odd = scratch / "it's \"quoted\" $HOME `touch x` $(touch y) \\";
  ASSERT_EQ(0, FileManager::CreateDirectory(odd));
  WriteText(odd + "/inner", "x");
  WriteText(scratch / "keep", "k");
  EXPECT_EQ(0, FileManager::CreateDirectory(odd)) << "an existing folder is fine";
  EXPECT_EQ(-317, FileManager::CreateDirectory(scratch / "keep"));
  EXPECT_EQ(-301, FileManager::CreateDirectory(scratch / "no/parent"));
  EXPECT_EQ(0, FileManager::CreateDirectory(scratch / "Größe ✓"));

  EXPECT_TRUE(AppErrFailed(FileManager::DeleteDirectory(odd, false)));
  EXPECT_EQ(0, FileManager::DeleteDirectory(odd, true));
  EXPECT_EQ(0, FileManager::DeleteDirectory(scratch / "missing", true));
  EXPECT_EQ(-301, FileManager::DeleteFileAtPath(scratch / "missing"));
  KsRef<KsStringCollection> names = FileManager::ListDirectory(scratch.Path());
  ASSERT_EQ(2u, names->GetCount());
  EXPECT_EQ("Größe ✓", names->GetByIndex(0).Str());
  EXPECT_EQ("keep", names->GetByIndex(1).Str());
  EXPECT_EQ(0, FileManager::DeleteFileAtPath(scratch / "keep"));
  EXPECT_EQ(0u, FileManager::ListDirectory(scratch / "missing")->GetCount());
}

TEST_F(FileManagerTest, UniqueFilenameCountsOnFromTheNameTaken) {
  ScratchFolder scratch;
  for (const char* name : {"photo.jpg", "photo2.jpg", "shot3.png", "2010.txt", "Folder", "big99999999999999999999.x"}) {
    WriteText(scratch / name, "");
  }
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"free.jpg", "free.jpg"}, {"photo.jpg", "photo3.jpg"}, {"shot3.png", "shot4.png"},
      {"2010.txt", "2011.txt"}, {"Folder", "Folder2"},       {"big99999999999999999999.x", "big999999999999999999992.x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, FileManager::UniqueFilename(scratch.Path(), c.name).Str()) << c.name;
  }
  EXPECT_TRUE(FileManager::UniqueFilename(scratch.Path(), PWStringRef()).IsNull());
}

TEST_F(FileManagerTest, CopiesRunOneAfterAnotherInASequence) {
  ScratchFolder scratch;
  WriteRandomFile(scratch / "one.bin", 8 * kMiB, 4);
  WriteRandomFile(scratch / "two.bin", 24 * kMiB, 5);
  ::mkdir((scratch / "out").c_str(), 0755);
  auto sequence = KsMakeRef<KsOperationSequence>();
  for (const char* name : {"one.bin", "two.bin"}) {
    auto manager = KsMakeRef<FileManager>();
    manager->CopyFrom(scratch / name, scratch / "out", PWStringRef(), false);
    sequence->GetOperationSequence()->Add(manager);
  }
  sequence->GetOperationWeights()->Add(1.0f);
  sequence->GetOperationWeights()->Add(3.0f);
  KsRef<ProgressReport> report = sequence->Start();
  auto watcher = KsMakeRef<ReportWatcher>();
  watcher->Watch(report, {ProgressReport::kProgressId});
  EXPECT_EQ(22, report->Wait());
  EXPECT_FLOAT_EQ(4.0f, report->GetProgress());
  float last = 0.0f;
  for (const auto& notice : watcher->Notices()) {
    EXPECT_GE(notice.progress, last);
    last = notice.progress;
  }
  EXPECT_EQ(0, RunTool({"cmp", scratch / "two.bin", scratch / "out/two.bin"}));
  EXPECT_EQ(0, RunTool({"cmp", scratch / "one.bin", scratch / "out/one.bin"}));
}
