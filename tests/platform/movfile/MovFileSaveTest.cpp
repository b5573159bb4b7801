#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
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

size_t CountOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
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

namespace {

// Saves a presentation item of `size` bytes, replacing any.
void SavePresentation(const std::string& path, size_t size) {
  MovFile movie;
  ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
  movie.UserData().RemoveItems(kPresentation);
  ASSERT_EQ(movie.UserData().AppendItem(kPresentation, std::vector<uint8_t>(size, 0x5A)), MovErr::Ok);
  ASSERT_EQ(movie.Save(), MovErr::Ok);
}

// The file's top-level atoms, as exiftool and our reader see them, are all
// complete, and one or two of them are headers.
void ExpectOnlyCompleteAtoms(const std::string& path) {
  MovFile movie;
  ASSERT_EQ(movie.OpenForRead(path), MovErr::Ok);
  ASSERT_FALSE(movie.TopLevelAtoms().empty());
  EXPECT_EQ(movie.TopLevelAtoms().back().End(), FileSize(path));
  size_t headers = CountTopLevel(movie, MovFourCC("moov"));
  EXPECT_TRUE(headers == 1 || headers == 2) << headers;
  EXPECT_EQ(RunTool({"exiftool", "-q", "-warning", "-error", path}).out, "");
}

struct SaveScenario {
  std::string name;
  bool headerFirst;
  std::function<void(const std::string& path)> prepare;  // earlier saves

  const std::string& Source() const {
    return headerFirst ? MovFixtures::Get().headerFirst : MovFixtures::Get().headerLast;
  }
};

// Where the saved header goes: after the media, after a header at the end,
// into a run of two free atoms (made one first, with a remainder), and into
// one free atom with a remainder.
const std::vector<SaveScenario>& SaveScenarios() {
  static const std::vector<SaveScenario> scenarios = {
      {"append after the header", false, [](const std::string&) {}},
      {"append after the media", true, [](const std::string&) {}},
      {"reuse two free atoms", false,
       [](const std::string& path) {
         SavePresentation(path, 1000);
         SavePresentation(path, 5000);  // the first two headers now lie free side by side
       }},
      {"reuse one free atom", true,
       [](const std::string& path) {
         SavePresentation(path, 6000);
         SavePresentation(path, 8000);  // the second header lies free between the media and the third
       }},
  };
  return scenarios;
}

}  // namespace

// A save cut short at any of its writes, syncs, truncations or extensions
// (as a crash or a full disk would) leaves a movie that plays, holds either
// the old or the new user data and shows other tools only complete atoms;
// a later save then completes.
class MovFileInterruptedSave : public testing::TestWithParam<size_t> {};

TEST_P(MovFileInterruptedSave, LeavesTheOldOrTheNewUserData) {
  {
    const SaveScenario& scenario = SaveScenarios()[GetParam()];
    const std::string framesBefore = FrameMd5(scenario.Source());
    for (bool torn : {true, false}) {
      bool completed = false;
      for (size_t step = 1; !completed && step < 20; ++step) {
        SCOPED_TRACE(scenario.name + " torn=" + std::to_string(torn) + " step=" + std::to_string(step));
        TempDir dir;
        std::string path = dir.File("movie.mov");
        CopyFile(scenario.Source(), path);
        scenario.prepare(path);
        std::vector<uint8_t> oldPresentation;
        {
          MovFile movie;
          ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
          movie.UserData().GetItem(kPresentation, 1, oldPresentation);
          movie.UserData().RemoveItems(kPresentation);
          AddOurItems(movie);
          movie.Io().SetFaultPlan({step, torn});
          completed = movie.Save() == MovErr::Ok;
        }
        ExpectOnlyCompleteAtoms(path);
        MovFile reread;
        ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
        size_t sources = reread.Track(0).UserData().CountItems(kSourceDescription);
        std::vector<uint8_t> item;
        reread.UserData().GetItem(kPresentation, 1, item);
        // All of the new user data or none of it.
        EXPECT_EQ(item, sources == 1 ? PresentationBytes() : oldPresentation);
        if (completed) {
          EXPECT_EQ(sources, 1u);
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
        EXPECT_EQ(CountTopLevel(reread, MovFourCC("moov")), 1u);
        EXPECT_EQ(FrameMd5(path), framesBefore);
      }
      EXPECT_TRUE(completed);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, MovFileInterruptedSave, testing::Range<size_t>(0, SaveScenarios().size()),
                         [](const testing::TestParamInfo<size_t>& info) {
                           std::string name = SaveScenarios()[info.param].name;
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });

// A save that fails at any one step (a passing error) keeps its changes, so
// that trying again writes them; the file then holds them once.
TEST(MovFileSave, ARetryAfterAFailedStepWritesTheChanges) {
  for (const SaveScenario& scenario : SaveScenarios()) {
    bool failed = true;
    for (size_t step = 1; failed && step < 20; ++step) {
      SCOPED_TRACE(scenario.name + " step=" + std::to_string(step));
      TempDir dir;
      std::string path = dir.File("movie.mov");
      CopyFile(scenario.Source(), path);
      scenario.prepare(path);
      MovFile movie;
      ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
      movie.UserData().RemoveItems(kPresentation);
      AddOurItems(movie);
      movie.Io().SetFaultPlan({step, false, false});
      failed = movie.Save() != MovErr::Ok;
      if (failed) {
        EXPECT_TRUE(movie.HasChanges());
        movie.Io().ResetCounters();
        ASSERT_EQ(movie.Save(), MovErr::Ok);
        EXPECT_GE(movie.Io().BytesWritten(), movie.HeaderAtom().size);
      }
      EXPECT_FALSE(movie.HasChanges());
      movie.Close();
      MovFile reread;
      ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
      std::vector<uint8_t> item;
      ASSERT_EQ(reread.UserData().GetItem(kPresentation, 1, item), MovErr::Ok);
      EXPECT_EQ(item, PresentationBytes());
      EXPECT_EQ(reread.UserData().CountItems(kPresentation), 1u);
      EXPECT_EQ(reread.Track(0).UserData().CountItems(kSourceDescription), 1u);
      EXPECT_EQ(CountTopLevel(reread, MovFourCC("moov")), 1u);
      EXPECT_NE(reread.TopLevelAtoms().back().type, MovFourCC("free"));
    }
    EXPECT_FALSE(failed);
  }
}

// Every save leaves the old header as free space; later saves take it back,
// so a movie saved over and over grows by about two headers at most, however
// the header's size goes up and down.
TEST(MovFileSave, TwentySavesCostAtMostAboutTwoHeaders) {
  const auto& fixtures = MovFixtures::Get();
  for (const std::string& source : {fixtures.headerLast, fixtures.headerFirst}) {
    SCOPED_TRACE(source);
    TempDir dir;
    std::string path = dir.File("movie.mov");
    CopyFile(source, path);
    const std::string framesBefore = FrameMd5(path);
    const uint64_t sizeBefore = FileSize(path);
    uint64_t largestHeader = 0;
    MovFile movie;
    ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
    for (size_t round = 0; round <= 20; ++round) {
      const size_t presentation = (size_t{1} << 20) + (round * 7919) % 40000 - 20000;
      movie.UserData().RemoveItems(kPresentation);
      ASSERT_EQ(movie.UserData().AppendItem(kPresentation, std::vector<uint8_t>(presentation, 7)), MovErr::Ok);
      movie.Io().ResetCounters();
      ASSERT_EQ(movie.Save(), MovErr::Ok) << round;
      largestHeader = std::max(largestHeader, movie.HeaderAtom().size);
      EXPECT_LT(movie.Io().BytesWritten(), movie.HeaderAtom().size + 64);
    }
    movie.Close();
    const uint64_t growth = FileSize(path) - sizeBefore;
    EXPECT_LE(growth, 2 * largestHeader + largestHeader / 8) << growth << " bytes for headers of up to " << largestHeader;
    EXPECT_EQ(FrameMd5(path), framesBefore);

    // Other tools read it without warnings and find one header.
    std::string exif = RunTool({"exiftool", "-v3", path}).out;
    EXPECT_EQ(CountOf(exif, "Tag 'moov'"), 1u);
    EXPECT_EQ(RunTool({"exiftool", "-q", "-warning", "-error", path}).out, "");
    EXPECT_EQ(RunToolErrors({"ffmpeg", "-v", "warning", "-i", path, "-map", "0", "-f", "null", "-"}), "");
    std::string info = RunTool({"mediainfo", "--Details=1", path}).out;
    EXPECT_EQ(info.find("IsTruncated"), std::string::npos);
    EXPECT_EQ(CountOf(info, "File header ("), 1u);  // what it calls the 'moov' atom
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

// What a save cut short (by this version or an earlier one) leaves at the end
// of the file is dropped by the next save; an incomplete atom of any other
// type may be another program's media still being written, and is left alone.
TEST(MovFileSave, DropsItsOwnLeftoversAtTheEndAndNoOneElses) {
  auto atom = [](const std::string& type, uint32_t size, size_t present) {
    std::vector<uint8_t> bytes;
    MovByteWriter writer(bytes);
    writer.U32(size);
    writer.Bytes(Bytes(type));
    bytes.resize(present, 0x33);
    return bytes;
  };
  std::vector<uint8_t> twoFree = atom("free", 100, 100);
  std::vector<uint8_t> second = atom("free", 50, 50);
  twoFree.insert(twoFree.end(), second.begin(), second.end());
  struct Case {
    std::string name;
    std::vector<uint8_t> tail;
    MovErr expected;
  };
  const std::vector<Case> cases = {
      {"a header cut short", atom("moov", 4000, 1500), MovErr::Ok},
      {"free space cut short", atom("free", 4000, 12), MovErr::Ok},
      {"a few stray bytes", std::vector<uint8_t>(5, 0), MovErr::Ok},
      {"zeros of an extension", std::vector<uint8_t>(4096, 0), MovErr::Ok},
      {"free atoms", twoFree, MovErr::Ok},
      {"media being written", atom("mdat", 100000, 3000), MovErr::InvalidMovie},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TempDir dir;
    std::string path = dir.File("movie.mov");
    CopyFile(MovFixtures::Get().headerFirst, path);
    const uint64_t sizeBefore = FileSize(path);
    std::vector<uint8_t> bytes = ReadBytes(path);
    bytes.insert(bytes.end(), test.tail.begin(), test.tail.end());
    WriteBytes(path, bytes);
    MovFile movie;
    ASSERT_EQ(movie.OpenForUpdate(path), MovErr::Ok);
    AddOurItems(movie);
    ASSERT_EQ(movie.Save(), test.expected);
    const uint64_t headerSize = movie.HeaderAtom().size;
    movie.Close();
    if (test.expected != MovErr::Ok) {
      EXPECT_EQ(ReadBytes(path), bytes);
      continue;
    }
    EXPECT_EQ(FileSize(path), sizeBefore + headerSize);
    ExpectOnlyCompleteAtoms(path);
    MovFile reread;
    ASSERT_EQ(reread.OpenForRead(path), MovErr::Ok);
    EXPECT_EQ(reread.UserData().CountItems(kPresentation), 1u);
  }
}
