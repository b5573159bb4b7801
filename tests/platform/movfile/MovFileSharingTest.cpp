// Movies that more than one process (or object) writes: saves are kept apart
// by the file's lock, a save never throws away another one's change, and a
// movie deleted or replaced after it was opened is not written into.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "MovFixtures.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;
using namespace movtest;

namespace {

const uint32_t kNote = MovFourCC("HcNt");

std::vector<std::string> Notes(const std::string& path) {
  MovFile movie;
  std::vector<std::string> notes;
  if (movie.OpenForRead(path) != MovErr::Ok) return notes;
  std::vector<uint8_t> item;
  for (size_t i = 1; i <= movie.UserData().CountItems(kNote); ++i) {
    if (movie.UserData().GetItem(kNote, i, item) == MovErr::Ok) notes.emplace_back(item.begin(), item.end());
  }
  std::sort(notes.begin(), notes.end());
  return notes;
}

size_t CountHeaders(const std::string& path) {
  MovFile movie;
  if (movie.OpenForRead(path) != MovErr::Ok) return 0;
  size_t count = 0;
  for (const auto& atom : movie.TopLevelAtoms()) count += atom.type == MovFourCC("moov");
  return count;
}

// What a user of the movie does: open it, add a note, save; when another
// process saved in between, open it again and make the change again.
// Answers 0, or what went wrong as an exit status.
int SaveNotes(const std::string& path, int process, int saves) {
  for (int save = 0; save < saves; ++save) {
    const std::string note = "process " + std::to_string(process) + " note " + std::to_string(save);
    for (int attempt = 0;; ++attempt) {
      if (attempt == 500) return 12;
      MovFile movie;
      if (movie.OpenForUpdate(path) != MovErr::Ok) return 10;
      if (movie.UserData().AppendItem(kNote, Bytes(note)) != MovErr::Ok) return 13;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));  // others save meanwhile
      MovErr err = movie.Save();
      if (err == MovErr::Ok) break;
      if (err != MovErr::FileChanged) return 11;
    }
  }
  return 0;
}

}  // namespace

TEST(MovFileSharing, ProcessesSavingAtOnceLoseNoChange) {
  constexpr int kProcesses = 3;
  constexpr int kSaves = 8;
  for (const std::string& source : {MovFixtures::Get().headerLast, MovFixtures::Get().headerFirst}) {
    SCOPED_TRACE(source);
    TempDir dir;
    const std::string path = dir.File("movie.mov");
    CopyFile(source, path);
    const std::string framesBefore = FrameMd5(path);

    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int process = 0; process < kProcesses; ++process) {
      pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        ::close(gate[1]);
        char go = 0;
        (void)!::read(gate[0], &go, 1);  // all start together once the gate closes
        ::_exit(SaveNotes(path, process, kSaves));
      }
      children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t child : children) {
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }

    std::vector<std::string> expected;
    for (int process = 0; process < kProcesses; ++process) {
      for (int save = 0; save < kSaves; ++save) {
        expected.push_back("process " + std::to_string(process) + " note " + std::to_string(save));
      }
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Notes(path), expected);
    EXPECT_EQ(CountHeaders(path), 1u);
    EXPECT_EQ(FrameMd5(path), framesBefore);
    EXPECT_EQ(RunTool({"exiftool", "-q", "-warning", "-error", path}).out, "");
  }
}

TEST(MovFileSharing, ASaveAfterAnotherSavedAnswersFileChangedAndTheReopenedOneSaves) {
  TempDir dir;
  const std::string path = dir.File("movie.mov");
  CopyFile(MovFixtures::Get().headerFirst, path);
  MovFile mine;
  ASSERT_EQ(mine.OpenForUpdate(path), MovErr::Ok);
  ASSERT_EQ(mine.UserData().AppendItem(kNote, Bytes("mine")), MovErr::Ok);
  {
    // The other saves twice, the second time a header of the same size.
    MovFile other;
    ASSERT_EQ(other.OpenForUpdate(path), MovErr::Ok);
    ASSERT_EQ(other.UserData().AppendItem(kNote, Bytes("other 1")), MovErr::Ok);
    ASSERT_EQ(other.Save(), MovErr::Ok);
    other.UserData().RemoveItems(kNote);
    ASSERT_EQ(other.UserData().AppendItem(kNote, Bytes("other 2")), MovErr::Ok);
    ASSERT_EQ(other.Save(), MovErr::Ok);
  }
  const std::vector<uint8_t> before = ReadBytes(path);
  EXPECT_EQ(mine.Save(), MovErr::FileChanged);
  EXPECT_TRUE(mine.HasChanges());
  EXPECT_EQ(ReadBytes(path), before);

  ASSERT_EQ(mine.OpenForUpdate(path), MovErr::Ok);
  ASSERT_EQ(mine.UserData().AppendItem(kNote, Bytes("mine")), MovErr::Ok);
  ASSERT_EQ(mine.Save(), MovErr::Ok);
  EXPECT_EQ(Notes(path), (std::vector<std::string>{"mine", "other 2"}));

  // A save that changes nothing of what the other one read leaves it free to save.
  MovFile other;
  ASSERT_EQ(other.OpenForUpdate(path), MovErr::Ok);
  ASSERT_EQ(mine.UserData().AppendItem(kNote, Bytes("mine again")), MovErr::Ok);
  ASSERT_EQ(mine.Save(), MovErr::Ok);
  ASSERT_EQ(other.UserData().AppendItem(kNote, Bytes("late")), MovErr::Ok);
  EXPECT_EQ(other.Save(), MovErr::FileChanged);
}

// Tracks load after the opening; a save in between frees the header they
// would be read from, and its space may hold anything by then.
TEST(MovFileSharing, TracksAskedForAfterAnotherSavedAnswerFileChanged) {
  for (const std::string& source : {MovFixtures::Get().headerLast, MovFixtures::Get().headerFirst}) {
    SCOPED_TRACE(source);
    TempDir dir;
    const std::string path = dir.File("movie.mov");
    CopyFile(source, path);
    MovFile facts, tracks, update;
    ASSERT_EQ(facts.OpenForRead(path), MovErr::Ok);
    ASSERT_EQ(tracks.OpenForRead(path), MovErr::Ok);
    ASSERT_EQ(update.OpenForUpdate(path), MovErr::Ok);
    MovFile other;
    ASSERT_EQ(other.OpenForUpdate(path), MovErr::Ok);
    ASSERT_EQ(other.UserData().AppendItem(kNote, Bytes("other")), MovErr::Ok);
    ASSERT_EQ(other.Save(), MovErr::Ok);

    EXPECT_EQ(facts.LoadTrackFacts(), MovErr::FileChanged);
    EXPECT_EQ(tracks.LoadTracks(), MovErr::FileChanged);
    EXPECT_EQ(update.LoadTracks(), MovErr::FileChanged);
    ASSERT_EQ(tracks.OpenForRead(path), MovErr::Ok);
    EXPECT_EQ(tracks.LoadTracks(), MovErr::Ok);
    EXPECT_EQ(tracks.TrackCount(), other.TrackCount());
  }
}

TEST(MovFileSharing, ASaveWaitsForAnotherWritersLockAndGivesUpWithFileBusy) {
  TempDir dir;
  const std::string path = dir.File("movie.mov");
  CopyFile(MovFixtures::Get().headerLast, path);
  MovFile movie;
  ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
  ASSERT_EQ(movie.UserData().AppendItem(kNote, Bytes("waited")), MovErr::Ok);

  // Another writer's lock, taken through a descriptor of its own, while it
  // appends a header: what it has written so far is not taken for debris.
  int writer = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::flock(writer, LOCK_EX), 0);
  const uint8_t partialHeader[] = {0, 0, 0x10, 0, 'm', 'o', 'o', 'v', 0, 0, 0, 0x6C, 'm', 'v', 'h', 'd'};
  ASSERT_EQ(::pwrite(writer, partialHeader, sizeof partialHeader, static_cast<off_t>(FileSize(path))),
            static_cast<ssize_t>(sizeof partialHeader));
  const std::vector<uint8_t> before = ReadBytes(path);
  movie.SetLockWait(std::chrono::milliseconds(50));
  EXPECT_EQ(movie.Save(), MovErr::FileBusy);
  EXPECT_TRUE(movie.HasChanges());
  EXPECT_EQ(ReadBytes(path), before);
  MovFile reader;
  reader.SetLockWait(std::chrono::milliseconds(50));
  EXPECT_EQ(reader.OpenForRead(path), MovErr::FileBusy);

  // Released while the save waits (the other writer gave up): the save goes
  // ahead and drops what the other left.
  movie.SetLockWait(std::chrono::seconds(20));
  const auto start = std::chrono::steady_clock::now();
  std::thread release([writer] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::flock(writer, LOCK_UN);
  });
  EXPECT_EQ(movie.Save(), MovErr::Ok);
  release.join();
  ::close(writer);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  EXPECT_EQ(Notes(path), (std::vector<std::string>{"waited"}));
  EXPECT_EQ(CountHeaders(path), 1u);
  EXPECT_EQ(RunTool({"exiftool", "-q", "-warning", "-error", path}).out, "");
}

TEST(MovFileSharing, AMovieDeletedOrReplacedAfterOpeningIsNotSavedInto) {
  struct Case {
    std::string name;
    std::function<void(const std::string& path, const TempDir& dir)> change;
    MovErr expected;
  };
  const std::vector<Case> cases = {
      {"deleted", [](const std::string& path, const TempDir&) { ::unlink(path.c_str()); }, MovErr::FileNotFound},
      {"moved away",
       [](const std::string& path, const TempDir& dir) { ::rename(path.c_str(), dir.File("moved.mov").c_str()); },
       MovErr::FileNotFound},
      {"replaced by rename",
       [](const std::string& path, const TempDir& dir) {
         CopyFile(MovFixtures::Get().headerFirst, dir.File("newer.mov"));
         ::rename(dir.File("newer.mov").c_str(), path.c_str());
       },
       MovErr::FileChanged},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TempDir dir;
    const std::string path = dir.File("movie.mov");
    CopyFile(MovFixtures::Get().headerLast, path);
    const std::vector<uint8_t> original = ReadBytes(path);
    ASSERT_EQ(::link(path.c_str(), dir.File("kept.mov").c_str()), 0);  // watches the opened file
    MovFile movie;
    ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
    ASSERT_EQ(movie.UserData().AppendItem(kNote, Bytes("lost?")), MovErr::Ok);
    test.change(path, dir);
    EXPECT_EQ(movie.Save(), test.expected);
    EXPECT_TRUE(movie.HasChanges());
    EXPECT_EQ(ReadBytes(dir.File("kept.mov")), original);
  }
}
