#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MovFixtures.h"
#include "platform/movfile/MovByteWriter.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"

using namespace hc::movfile;
using namespace movtest;

namespace {

const uint32_t kPresentation = MovFourCC("Hcpr");
const uint32_t kDescription = MovFourCC("Hcfm");
const uint32_t kSourceDescription = MovFourCC("Hcsd");

std::vector<uint8_t> PresentationBytes() {
  std::vector<uint8_t> bytes(3000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31 + 7);
  return bytes;
}

void AddOurItems(MovFile& movie) {
  ASSERT_EQ(movie.UserData().AppendItem(kPresentation, PresentationBytes()), MovErr::Ok);
  ASSERT_EQ(movie.UserData().AppendItem(kDescription, std::vector<uint8_t>(28, 1)), MovErr::Ok);
  ASSERT_EQ(movie.Track(0).UserData().AppendItem(kSourceDescription, Bytes("source description")), MovErr::Ok);
}

size_t LineOf(const std::string& text, const std::string& what, size_t from = 0) {
  size_t at = text.find(what, from);
  return at == std::string::npos ? std::string::npos : at;
}

size_t CountTopLevel(const MovFile& movie, uint32_t type) {
  size_t count = 0;
  for (const auto& atom : movie.TopLevelAtoms()) count += atom.type == type;
  return count;
}

}  // namespace

TEST(MovFileSave, AppendsOneHeaderAndLeavesTheMediaAsOtherToolsSeeIt) {
  const auto& fixtures = MovFixtures::Get();
  for (const std::string& source : {fixtures.headerLast, fixtures.headerFirst}) {
    SCOPED_TRACE(source);
    TempDir dir;
    std::string path = dir.File("movie.mov");
    CopyFile(source, path);
    const std::string framesBefore = FrameMd5(path);
    const std::string probeBefore = ProbeStreams(path);
    const uint64_t sizeBefore = FileSize(path);

    MovFile movie;
    ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
    const uint64_t oldHeaderSize = movie.HeaderAtom().size;
    std::vector<uint8_t> title;
    ASSERT_EQ(movie.UserData().GetItem(MovFourCC("\xA9nam"), 1, title), MovErr::Ok);
    EXPECT_FALSE(movie.Track(0).UserData().IsPresent());
    AddOurItems(movie);
    EXPECT_EQ(movie.UserData().RemoveItems(MovFourCC("\xA9" "cmt")), 1u);
    EXPECT_TRUE(movie.HasChanges());
    movie.Io().ResetCounters();
    ASSERT_EQ(movie.Save(), MovErr::Ok);
    EXPECT_FALSE(movie.HasChanges());
    const uint64_t newHeaderSize = movie.HeaderAtom().size;
    // The header, then 8 bytes to label it 'moov' and 4 to free the old one.
    EXPECT_EQ(movie.Io().BytesWritten(), newHeaderSize + 8 + 4);
    movie.Close();

    EXPECT_EQ(FileSize(path), sizeBefore + newHeaderSize);
    EXPECT_NEAR(static_cast<double>(newHeaderSize), static_cast<double>(oldHeaderSize + 3000 + 28 + 18 + 3 * 8), 40);
    EXPECT_EQ(FrameMd5(path), framesBefore);
    std::string probeExpected = probeBefore;
    size_t comment = probeExpected.find("TAG:comment=Note\n");
    ASSERT_NE(comment, std::string::npos);
    probeExpected.erase(comment, std::string("TAG:comment=Note\n").size());
    EXPECT_TRUE(ProbeStreams(path) == probeExpected) << ProbeStreams(path);

    // exiftool walks the atoms: the old header is free space, the track item
    // sits inside the first track and the movie items after the last track.
    std::string exif = RunTool({"exiftool", "-v3", path}).out;
    size_t freeAt = LineOf(exif, "Tag 'free'");
    size_t moovAt = LineOf(exif, "Tag 'moov'");
    ASSERT_NE(moovAt, std::string::npos);
    ASSERT_NE(freeAt, std::string::npos);
    size_t firstTrak = LineOf(exif, "Tag 'trak'", moovAt);
    size_t secondTrak = LineOf(exif, "Tag 'trak'", firstTrak + 1);
    size_t thirdTrak = LineOf(exif, "Tag 'trak'", secondTrak + 1);
    size_t sourceAt = LineOf(exif, "Tag 'Track1Hcsd' (18 bytes)", moovAt);
    size_t presentationAt = LineOf(exif, "Tag 'Hcpr' (3000 bytes)", moovAt);
    EXPECT_GT(sourceAt, firstTrak);
    EXPECT_LT(sourceAt, secondTrak);
    EXPECT_NE(presentationAt, std::string::npos);
    EXPECT_GT(presentationAt, thirdTrak);
    EXPECT_NE(LineOf(exif, "Tag 'Hcfm' (28 bytes)", moovAt), std::string::npos);
    EXPECT_EQ(LineOf(exif, "Tag '\\xa9cmt'", moovAt), std::string::npos);
    EXPECT_NE(LineOf(exif, "Tag '\\xa9nam'", moovAt), std::string::npos);

    std::string info = RunTool({"mediainfo", "--Details=1", path}).out;
    EXPECT_NE(info.find("Hcpr"), std::string::npos);
    EXPECT_NE(info.find("Hcsd"), std::string::npos);

    MovFile reread;
    ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
    std::vector<uint8_t> item;
    ASSERT_EQ(reread.UserData().GetItem(kPresentation, 1, item), MovErr::Ok);
    EXPECT_EQ(item, PresentationBytes());
    ASSERT_EQ(reread.Track(0).UserData().GetItem(kSourceDescription, 1, item), MovErr::Ok);
    EXPECT_EQ(item, Bytes("source description"));
    ASSERT_EQ(reread.UserData().GetItem(MovFourCC("\xA9nam"), 1, item), MovErr::Ok);
    EXPECT_EQ(item, title);
    EXPECT_EQ(reread.UserData().CountItems(MovFourCC("\xA9" "cmt")), 0u);
    EXPECT_EQ(CountTopLevel(reread, MovFourCC("moov")), 1u);
  }
}

TEST(MovFileSave, ReadsAndKeepsItemsThatExiftoolWrote) {
  TempDir dir;
  std::string path = dir.File("movie.mov");
  CopyFile(MovFixtures::Get().headerLast, path);
  ASSERT_EQ(RunTool({"exiftool", "-q", "-overwrite_original", "-UserData:Title=Lakeside \xC3\xBC",
                     "-UserData:Comment=From exiftool", path})
                .status,
            0);
  MovFile movie;
  ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
  std::vector<uint8_t> title;
  std::vector<uint8_t> comment;
  ASSERT_EQ(movie.UserData().GetItem(MovFourCC("\xA9nam"), 1, title), MovErr::Ok);
  ASSERT_EQ(movie.UserData().GetItem(MovFourCC("\xA9" "cmt"), 1, comment), MovErr::Ok);
  EXPECT_NE(std::string(title.begin(), title.end()).find("Lakeside \xC3\xBC"), std::string::npos);
  AddOurItems(movie);
  ASSERT_EQ(movie.Save(), MovErr::Ok);
  movie.Close();

  MovFile reread;
  ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
  std::vector<uint8_t> item;
  ASSERT_EQ(reread.UserData().GetItem(MovFourCC("\xA9nam"), 1, item), MovErr::Ok);
  EXPECT_EQ(item, title);
  ASSERT_EQ(reread.UserData().GetItem(MovFourCC("\xA9" "cmt"), 1, item), MovErr::Ok);
  EXPECT_EQ(item, comment);
  EXPECT_EQ(RunTool({"exiftool", "-s3", "-UserData:Title", path}).out, "Lakeside \xC3\xBC\n");
}

TEST(MovFileSave, RefusesToWriteWhatWasNotOpenedForWriting) {
  TempDir dir;
  std::string path = dir.File("movie.mov");
  CopyFile(MovFixtures::Get().headerFirst, path);
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
  AddOurItems(movie);
  EXPECT_EQ(movie.Save(), MovErr::DataNotOpenForWrite);
  EXPECT_EQ(movie.OpenForUpdate(dir.File("missing.mov")), MovErr::FileNotFound);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.mov")));
  EXPECT_EQ(movie.Save(), MovErr::DataNotOpenForWrite);
}

TEST(MovFileSave, SavesAgainAndAgainWithOneLiveHeader) {
  TempDir dir;
  std::string path = dir.File("movie.mov");
  CopyFile(MovFixtures::Get().headerFirst, path);
  const std::string framesBefore = FrameMd5(path);
  MovFile movie;
  ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
  for (int round = 0; round < 3; ++round) {
    movie.UserData().RemoveItems(kPresentation);
    ASSERT_EQ(movie.UserData().AppendItem(kPresentation, Bytes("round " + std::to_string(round))), MovErr::Ok);
    ASSERT_EQ(movie.Save(), MovErr::Ok);
  }
  EXPECT_EQ(CountTopLevel(movie, MovFourCC("moov")), 1u);
  // The later headers took turns in the space the earlier ones left; only the
  // first header's place, too small for the grown one, stays free.
  EXPECT_EQ(CountTopLevel(movie, MovFourCC("free")), 1u);
  movie.Close();
  MovFile reread;
  ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
  std::vector<uint8_t> item;
  ASSERT_EQ(reread.UserData().GetItem(kPresentation, 1, item), MovErr::Ok);
  EXPECT_EQ(item, Bytes("round 2"));
  EXPECT_EQ(reread.UserData().CountItems(kPresentation), 1u);
  EXPECT_EQ(FrameMd5(path), framesBefore);
}

// A save cut short at any of its writes, syncs or truncations (as a crash or
// a full disk would) leaves a movie that plays and holds either the old or
// the new user data; a later save then completes.
TEST(MovFileSave, InterruptedSavesLeaveTheOldOrTheNewUserData) {
  const auto& fixtures = MovFixtures::Get();
  for (const std::string& source : {fixtures.headerLast, fixtures.headerFirst}) {
    const std::string framesBefore = FrameMd5(source);
    for (bool torn : {true, false}) {
      bool completed = false;
      for (size_t step = 1; !completed && step < 12; ++step) {
        SCOPED_TRACE(source + " torn=" + std::to_string(torn) + " step=" + std::to_string(step));
        TempDir dir;
        std::string path = dir.File("movie.mov");
        CopyFile(source, path);
        {
          MovFile movie;
          ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
          AddOurItems(movie);
          movie.Io().SetFaultPlan({step, torn});
          completed = movie.Save() == MovErr::Ok;
        }
        MovFile reread;
        ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
        size_t presentations = reread.UserData().CountItems(kPresentation);
        size_t sources = reread.Track(0).UserData().CountItems(kSourceDescription);
        ASSERT_EQ(presentations, sources);  // all of the new user data or none of it
        if (presentations == 1) {
          std::vector<uint8_t> item;
          ASSERT_EQ(reread.UserData().GetItem(kPresentation, 1, item), MovErr::Ok);
          EXPECT_EQ(item, PresentationBytes());
        }
        if (completed) {
          EXPECT_EQ(presentations, 1u);
        }
        EXPECT_EQ(FrameMd5(path), framesBefore);

        MovFile again;
        ASSERT_EQ(again.OpenForUpdate(path), MovErr::Ok);
        again.UserData().RemoveItems(kPresentation);
        ASSERT_EQ(again.UserData().AppendItem(kPresentation, Bytes("after")), MovErr::Ok);
        ASSERT_EQ(again.Save(), MovErr::Ok);
        again.Close();
        ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
        std::vector<uint8_t> latest;
        ASSERT_EQ(reread.UserData().GetItem(kPresentation, 1, latest), MovErr::Ok);
        EXPECT_EQ(latest, Bytes("after"));  // no header of the interrupted save comes back
        EXPECT_EQ(reread.UserData().CountItems(kPresentation), 1u);
        EXPECT_EQ(FrameMd5(path), framesBefore);
      }
      EXPECT_TRUE(completed);
    }
  }
}

TEST(MovFileSave, GivesATrailingMediaAtomOfSizeZeroItsSizeBeforeAppending) {
  TempDir dir;
  std::string path = dir.File("movie.mov");
  CopyFile(MovFixtures::Get().headerFirst, path);
  {
    MovFile movie;
    ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
    const MovAtom& last = movie.TopLevelAtoms().back();
    ASSERT_EQ(last.type, MovFourCC("mdat"));
    std::vector<uint8_t> bytes = ReadBytes(path);
    MovByteWriter(bytes).PatchU32(static_cast<size_t>(last.offset), 0);
    WriteBytes(path, bytes);
  }
  const std::string framesBefore = FrameMd5(path);
  MovFile movie;
  ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
  EXPECT_TRUE(movie.TopLevelAtoms().back().extendsToEnd);
  AddOurItems(movie);
  ASSERT_EQ(movie.Save(), MovErr::Ok);
  movie.Close();
  EXPECT_EQ(FrameMd5(path), framesBefore);
  MovFile reread;
  ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
  EXPECT_EQ(reread.UserData().CountItems(kPresentation), 1u);
  EXPECT_FALSE(reread.TopLevelAtoms()[reread.TopLevelAtoms().size() - 2].extendsToEnd);
}
