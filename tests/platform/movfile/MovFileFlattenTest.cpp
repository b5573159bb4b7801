#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "MovFixtures.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;
using namespace movtest;

namespace {

size_t IndexOfTopLevel(const MovFile& movie, uint32_t type) {
  const auto& atoms = movie.TopLevelAtoms();
  for (size_t i = 0; i < atoms.size(); ++i) {
    if (atoms[i].type == type) return i;
  }
  return atoms.size();
}

bool HasWideOffsets(const std::string& path) {
  MovFile movie;
  if (movie.OpenForRead(path) != MovErr::Ok) return false;
  MovAtomNode header;
  if (movie.BuildHeader(header) != MovErr::Ok) return false;
  return header.FindPath({MovFourCC("trak"), MovFourCC("mdia"), MovFourCC("minf"), MovFourCC("stbl"),
                          MovFourCC("co64")}) != nullptr;
}

}  // namespace

TEST(MovFileFlatten, WritesTheHeaderFirstWithShiftedChunkOffsets) {
  const auto& fixtures = MovFixtures::Get();
  TempDir dir;
  const std::string framesBefore = FrameMd5(fixtures.headerLast);
  for (bool compress : {false, true}) {
    SCOPED_TRACE(compress ? "compressed header" : "plain header");
    MovFile movie;
    ASSERT_EQ(movie.OpenForRead(fixtures.headerLast), MovErr::Ok);
    ASSERT_EQ(movie.LoadTracks(), MovErr::Ok);
    ASSERT_EQ(movie.UserData().AppendItem(MovFourCC("Hcpr"), Bytes("unsaved items travel too")), MovErr::Ok);
    std::string flat = dir.File(compress ? "flat-compressed.mov" : "flat.mov");
    uint64_t lastDone = 0;
    uint64_t total = 0;
    MovFlattenOptions options;
    options.compressHeader = compress;
    options.progress = [&](uint64_t done, uint64_t all) {
      lastDone = done;
      total = all;
      return true;
    };
    ASSERT_EQ(movie.FlattenTo(flat, options), MovErr::Ok);
    EXPECT_GT(total, 0u);
    EXPECT_EQ(lastDone, total);

    EXPECT_EQ(FrameMd5(flat), framesBefore);
    MovFile reread;
    ASSERT_EQ(reread.OpenForRead(flat), MovErr::Ok);
    ASSERT_EQ(reread.LoadTracks(), MovErr::Ok);
    EXPECT_LT(IndexOfTopLevel(reread, MovFourCC("moov")), IndexOfTopLevel(reread, MovFourCC("mdat")));
    EXPECT_EQ(reread.HeaderWasCompressed(), compress);
    EXPECT_EQ(reread.TrackCount(), 3u);
    EXPECT_EQ(reread.UserData().CountItems(MovFourCC("Hcpr")), 1u);
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
    ASSERT_EQ(movie.ReadSample(movie.Track(2), 5, before), MovErr::Ok);
    ASSERT_EQ(reread.ReadSample(reread.Track(2), 5, after), MovErr::Ok);
    EXPECT_EQ(before, after);
    struct stat info {};
    ASSERT_EQ(::stat(flat.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    if (compress) {
      // A compressed header is read back and saved uncompressed, in place.
      MovFile update;
      ASSERT_EQ(update.OpenForUpdate(flat), MovErr::Ok);
      ASSERT_EQ(update.UserData().AppendItem(MovFourCC("Hcsg"), Bytes("signature")), MovErr::Ok);
      ASSERT_EQ(update.Save(), MovErr::Ok);
      update.Close();
      EXPECT_EQ(FrameMd5(flat), framesBefore);
      ASSERT_EQ(reread.OpenForRead(flat), MovErr::Ok);
      EXPECT_FALSE(reread.HeaderWasCompressed());
      EXPECT_EQ(reread.UserData().CountItems(MovFourCC("Hcsg")), 1u);
    }
  }
}

TEST(MovFileFlatten, RefusesToFlattenOntoItself) {
  TempDir dir;
  std::string path = dir.File("movie.mov");
  CopyFile(MovFixtures::Get().headerLast, path);
  const uint64_t size = FileSize(path);
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
  EXPECT_EQ(movie.FlattenTo(path), MovErr::BadArgument);
  EXPECT_EQ(movie.FlattenTo(dir.Path() + "/./movie.mov"), MovErr::BadArgument);
  EXPECT_EQ(FileSize(path), size);
  MovFlattenOptions cancel;
  cancel.progress = [](uint64_t, uint64_t) { return false; };
  EXPECT_NE(movie.FlattenTo(dir.File("cancelled.mov"), cancel), MovErr::Ok);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1u);  // no copy and no temporary left behind
}

// A sparse movie whose media data lies past 4 GiB: 64-bit sizes and chunk
// offsets are read, saving keeps them, and flattening moves them back below
// 4 GiB.
TEST(MovFileFlatten, HandlesMediaBeyondFourGiB) {
  const auto& fixtures = MovFixtures::Get();
  TempDir dir;
  std::string big = dir.File("big.mov");
  MakeMovieBeyond4GiB(fixtures.headerLast, big);
  ASSERT_GT(FileSize(big), uint64_t{1} << 32);
  const std::string framesBefore = FrameMd5(fixtures.headerLast);
  EXPECT_EQ(FrameMd5(big), framesBefore);
  EXPECT_TRUE(HasWideOffsets(big));

  MovFile movie;
  ASSERT_EQ(movie.OpenForUpdate(big), MovErr::Ok);
  ASSERT_EQ(movie.LoadTracks(), MovErr::Ok);
  EXPECT_EQ(movie.TopLevelAtoms()[1].headerSize, 16u);
  std::vector<uint8_t> first;
  ASSERT_EQ(movie.ReadSample(movie.Track(0), 1, first), MovErr::Ok);
  MovFile small;
  ASSERT_EQ(small.OpenForRead(fixtures.headerLast), MovErr::Ok);
  ASSERT_EQ(small.LoadTracks(), MovErr::Ok);
  std::vector<uint8_t> expected;
  ASSERT_EQ(small.ReadSample(small.Track(0), 1, expected), MovErr::Ok);
  EXPECT_EQ(first, expected);
  EXPECT_EQ(movie.Track(0).DataSize(), small.Track(0).DataSize());

  ASSERT_EQ(movie.UserData().AppendItem(MovFourCC("Hcpr"), Bytes("far away")), MovErr::Ok);
  ASSERT_EQ(movie.Save(), MovErr::Ok);
  EXPECT_EQ(FrameMd5(big), framesBefore);

  std::string flat = dir.File("flat.mov");
  ASSERT_EQ(movie.FlattenTo(flat), MovErr::Ok);
  EXPECT_LT(FileSize(flat), uint64_t{1} << 20);
  EXPECT_EQ(FrameMd5(flat), framesBefore);
}

namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Flattens in a child process that is killed, by itself from the progress
// callback when `killInProgress`, else by this process after `delay`.
// Answers the child's wait status.
int FlattenKilled(const std::string& source, const std::string& flat, bool killInProgress,
                  std::chrono::microseconds delay) {
  pid_t child = ::fork();
  if (child == 0) {
    MovFile movie;
    if (movie.OpenForRead(source) != MovErr::Ok) ::_exit(10);
    MovFlattenOptions options;
    options.progress = [killInProgress](uint64_t, uint64_t) {
      if (killInProgress) ::raise(SIGKILL);
      return true;
    };
    for (;;) {
      if (movie.FlattenTo(flat, options) != MovErr::Ok) ::_exit(11);
      ::unlink(flat.c_str());
    }
  }
  if (!killInProgress) {
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

}  // namespace

// A flatten killed at any moment leaves no temporary file and no part of a
// copy; a destination it would have replaced is as it was.
TEST(MovFileFlatten, AKilledFlattenLeavesNothingBehind) {
  const auto& fixtures = MovFixtures::Get();
  TempDir dir;
  const std::string source = dir.File("movie.mov");
  CopyFile(fixtures.headerLast, source);
  const std::string flat = dir.File("flat.mov");

  int status = FlattenKilled(source, flat, true, {});
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"movie.mov"}));

  CopyFile(fixtures.headerFirst, flat);
  const std::vector<uint8_t> existing = ReadBytes(flat);
  status = FlattenKilled(source, flat, true, {});
  EXPECT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"flat.mov", "movie.mov"}));
  EXPECT_EQ(ReadBytes(flat), existing);
  ::unlink(flat.c_str());

  std::mt19937 random(7);
  for (int trial = 0; trial < 20; ++trial) {
    SCOPED_TRACE(trial);
    status = FlattenKilled(source, flat, false, std::chrono::microseconds(random() % 20000));
    EXPECT_TRUE(WIFSIGNALED(status)) << status;
    std::vector<std::string> entries = FolderEntries(dir.Path());
    if (entries.size() == 2) {
      // Killed between a flatten and the removal of its copy: the copy is whole.
      EXPECT_EQ(entries, (std::vector<std::string>{"flat.mov", "movie.mov"}));
      MovFile copy;
      ASSERT_EQ(copy.OpenForRead(flat), MovErr::Ok);
      EXPECT_EQ(copy.TopLevelAtoms().back().End(), FileSize(flat));
      ::unlink(flat.c_str());
    } else {
      EXPECT_EQ(entries, (std::vector<std::string>{"movie.mov"}));
    }
  }
}

// A new copy gets what the umask leaves of 0666; a replaced file keeps its
// permissions; a destination whose name is as long as a name may be works,
// and an object that had the replaced movie open learns of it when it saves.
TEST(MovFileFlatten, KeepsPermissionsAndTakesLongNames) {
  const auto& fixtures = MovFixtures::Get();
  TempDir dir;
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(fixtures.headerLast), MovErr::Ok);

  const mode_t previous = ::umask(027);
  const std::string fresh = dir.File("fresh.mov");
  MovErr err = movie.FlattenTo(fresh);
  ::umask(previous);
  ASSERT_EQ(err, MovErr::Ok);
  struct stat info {};
  ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  const std::string replaced = dir.File("replaced.mov");
  CopyFile(fixtures.headerFirst, replaced);
  ASSERT_EQ(::chmod(replaced.c_str(), 0604), 0);
  MovFile holder;
  ASSERT_EQ(holder.OpenForUpdate(replaced), MovErr::Ok);
  ASSERT_EQ(holder.UserData().AppendItem(MovFourCC("Hcpr"), Bytes("unsaved")), MovErr::Ok);
  ASSERT_EQ(movie.FlattenTo(replaced), MovErr::Ok);
  ASSERT_EQ(::stat(replaced.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0604u);
  EXPECT_EQ(holder.Save(), MovErr::FileChanged);

  const std::string longName = dir.File(std::string(251, 'n') + ".mov");  // 255 bytes
  ASSERT_EQ(movie.FlattenTo(longName), MovErr::Ok);
  MovFile reread;
  ASSERT_EQ(reread.OpenForRead(longName), MovErr::Ok);
  EXPECT_EQ(reread.TrackCount(), 3u);
  EXPECT_EQ(FolderEntries(dir.Path()).size(), 3u);
}
