#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "InterfaceCommon/CompressedUserDataItem.h"
#include "InterfaceCommon/MovieDigest.h"
#include "KsTrace.h"
#include "MovTestTools.h"
#include "RegisterAllClasses.h"
#include "platform/movfile/MovFile.h"

using hc::movfile::MovErr;
using hc::movfile::MovFile;

namespace {

std::vector<uint8_t> DigestBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// What a movie stores: the presentation and one description per visual track
// (none for an empty text).
struct StoredItems {
  std::string presentation = std::string(300, 'P') + "resentation";
  std::string firstTrack = std::string(200, 'S') + "ource one";
  std::string secondTrack = "source two";
  uint32_t subtype = kZlibDataCompressorType;
};

class MovieDigest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterAllClasses();
    folder = new movtest::TempDir;
    movie = folder->File("three-tracks.mov");
    movtest::MakeThreeTrackMovie(movie, false);
  }
  static void TearDownTestSuite() { delete folder; }

  void SetUp() override {
    KsTrace::ResetSettings();
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) { trace += line + "\n"; });
  }
  void TearDown() override {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }

  // A copy of the movie holding the items, saved and opened again for reading.
  std::string StoreCopy(const StoredItems& items) {
    const std::string path = folder->File("copy" + std::to_string(++copies) + ".mov");
    movtest::CopyFile(movie, path);
    MovFile file;
    EXPECT_EQ(file.OpenForUpdate(path), MovErr::Ok);
    if (!items.presentation.empty()) {
      EXPECT_EQ(WriteCompressedUserDataItem(true, DigestBytes(items.presentation), file.UserData(), items.subtype,
                                            kPresentationUserDataType),
                0);
    }
    const std::string* sources[] = {&items.firstTrack, nullptr, &items.secondTrack};  // sound in the middle
    for (size_t track = 0; track < 3; ++track) {
      if (!sources[track] || sources[track]->empty()) continue;
      EXPECT_EQ(WriteCompressedUserDataItem(true, DigestBytes(*sources[track]), file.Track(track).UserData(), items.subtype,
                                            kSourceDescriptionUserDataType),
                0);
    }
    EXPECT_EQ(file.Save(), MovErr::Ok);
    return path;
  }

  std::string DigestOf(const StoredItems& items) {
    MovFile file;
    EXPECT_EQ(file.OpenForRead(StoreCopy(items)), MovErr::Ok);
    PWStringRef digest;
    EXPECT_EQ(ComputeMovieDigestBase64(&file, &digest), 0);
    return digest.IsNull() ? "(none)" : digest.Str();
  }

  static movtest::TempDir* folder;
  static std::string movie;
  int copies = 0;
  std::string trace;
};

movtest::TempDir* MovieDigest::folder = nullptr;
std::string MovieDigest::movie;

// ffprobe's sum of the packet sizes of the first video stream.
uint64_t FirstVideoDataSize(const std::string& path) {
  const movtest::ToolResult probe = movtest::RunTool(
      {"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "packet=size", "-of", "csv=p=0", path});
  EXPECT_EQ(probe.status, 0);
  std::istringstream lines(probe.out);
  uint64_t total = 0;
  for (uint64_t size = 0; lines >> size;) total += size;
  return total;
}

}  // namespace

TEST_F(MovieDigest, IsTheSha256OfTheFirstTracksDescriptionThePresentationAndTheTrackSize) {
  const StoredItems items;
  const std::string path = StoreCopy(items);
  std::vector<uint8_t> digested = DigestBytes(items.firstTrack + items.presentation);
  const uint64_t size = FirstVideoDataSize(path);
  ASSERT_GT(size, 0u);
  for (int shift = 56; shift >= 0; shift -= 8) digested.push_back(static_cast<uint8_t>(size >> shift));
  const std::string bytesFile = folder->File("digested.bin");
  const std::string digestFile = folder->File("digest.bin");
  movtest::WriteBytes(bytesFile, digested);
  ASSERT_EQ(movtest::RunTool({"openssl", "dgst", "-sha256", "-binary", "-out", digestFile, bytesFile}).status, 0);
  const std::string expected = movtest::RunTool({"openssl", "base64", "-A", "-in", digestFile}).out;

  MovFile file;
  ASSERT_EQ(file.OpenForRead(path), MovErr::Ok);
  PWStringRef digest;
  ASSERT_EQ(ComputeMovieDigestBase64(&file, &digest), 0);
  EXPECT_EQ(digest.Str(), expected);
  EXPECT_EQ(digest.Str().size(), 44u);
  EXPECT_EQ(digest.Str().back(), '=');
}

// The decompressed contents count, not how they are stored; other tracks
// never count.
TEST_F(MovieDigest, FollowsOnlyTheFirstTracksDescriptionAndThePresentation) {
  const std::string baseline = DigestOf(StoredItems());
  const struct {
    const char* name;
    void (*change)(StoredItems&);
    bool same;
  } cases[] = {
      {"stored uncompressed", [](StoredItems& items) { items.subtype = 0; }, true},
      {"another second track", [](StoredItems& items) { items.secondTrack = "something else"; }, true},
      {"no second track", [](StoredItems& items) { items.secondTrack.clear(); }, true},
      {"one byte of the presentation", [](StoredItems& items) { items.presentation[5] = 'p'; }, false},
      {"one byte of the first track", [](StoredItems& items) { items.firstTrack.back() = 'E'; }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StoredItems items;
    c.change(items);
    const std::string digest = DigestOf(items);
    EXPECT_EQ(digest == baseline, c.same) << digest;
  }
}

TEST_F(MovieDigest, AnswersWhyThereIsNoDigest) {
  PWStringRef digest("stale");
  EXPECT_EQ(ComputeMovieDigestBase64(nullptr, &digest), -903);
  MovFile file;
  ASSERT_EQ(file.OpenForRead(movie), MovErr::Ok);
  EXPECT_EQ(ComputeMovieDigestBase64(&file, nullptr), -2);

  // ffmpeg gives its tracks no user data.
  trace.clear();
  EXPECT_EQ(ComputeMovieDigestBase64(&file, &digest), 0);
  EXPECT_TRUE(digest.IsNull());
  EXPECT_NE(trace.find("No user data found"), std::string::npos) << trace;

  StoredItems noPresentation;
  noPresentation.presentation.clear();
  StoredItems noFirstDescription;
  noFirstDescription.firstTrack.clear();
  for (const StoredItems* items : {&noPresentation, &noFirstDescription}) {
    MovFile copy;
    ASSERT_EQ(copy.OpenForUpdate(StoreCopy(*items)), MovErr::Ok);
    copy.Track(0).UserData().AppendItem(hc::movfile::MovFourCC("\xA9"
                                                               "cmt"),
                                        DigestBytes("a note"));
    digest = PWStringRef("stale");
    EXPECT_EQ(ComputeMovieDigestBase64(&copy, &digest), -2026);
    EXPECT_TRUE(digest.IsNull());
  }

  const std::string sound = folder->File("sound.mov");
  ASSERT_EQ(movtest::RunTool({"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                              "sine=duration=0.5:sample_rate=8000", "-c:a", "pcm_s16le", sound})
                .status,
            0);
  MovFile soundOnly;
  ASSERT_EQ(soundOnly.OpenForRead(sound), MovErr::Ok);
  digest = PWStringRef("stale");
  EXPECT_EQ(ComputeMovieDigestBase64(&soundOnly, &digest), -2);
  EXPECT_TRUE(digest.IsNull());
}
