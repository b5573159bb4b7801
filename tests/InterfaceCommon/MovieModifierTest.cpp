#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "InterfaceCommon/CompressedUserDataItem.h"
#include "General/HcClassMap.h"
#include "InterfaceCommon/MovieSerializer.h"
#include "InterfaceCommon/MovieSigner.h"
#include "KsTrace.h"
#include "MovFixtures.h"
#include "MovTestTools.h"
#include "RegisterAllClasses.h"
#include "TraceCapture.h"
#include "platform/movfile/MovFile.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"

using hc::movfile::MovErr;
using hc::movfile::MovFile;

namespace {

class MovieModifierTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }

  std::string Copy(const std::string& fixture, const std::string& name) const {
    const std::string path = folder.File(name);
    movtest::CopyFile(fixture, path);
    return path;
  }

  static std::unique_ptr<hc::playback::Movie> OpenPlaying(const std::string& path) {
    hc::playback::DataReference reference;
    EXPECT_EQ(hc::playback::DataReference::FromPath(path, &reference), hc::playback::PlaybackErr::Ok);
    std::unique_ptr<hc::playback::Movie> movie;
    EXPECT_EQ(hc::playback::Movie::Open(reference, &movie), hc::playback::PlaybackErr::Ok);
    return movie;
  }

  movtest::TempDir folder;
  TraceCapture traces;
  std::string& trace = traces.text;
};

}  // namespace

TEST_F(MovieModifierTest, OpeningForWriteUpdatesTheExistingMovieAndNeverCreatesOne) {
  const std::string path = Copy(movtest::MovFixtures::Get().headerLast, "movie.mov");
  const std::vector<uint8_t> before = movtest::ReadBytes(path);
  auto modifier = KsMakeRef<MovieSigner>();
  ASSERT_EQ(modifier->SetPath(PWStringRef(path)), 0);
  ASSERT_EQ(modifier->OpenMovieForWrite(), 0);
  EXPECT_TRUE(modifier->GetDataHandler());
  EXPECT_TRUE(modifier->GetOwnsMovie());
  // Opening leaves the file as it was; saving without a change writes nothing.
  EXPECT_EQ(modifier->SaveMovie(), 0);
  modifier->CloseMovie();
  EXPECT_EQ(movtest::ReadBytes(path), before);

  // A movie that isn't there stays absent.
  const std::string missing = folder.File("missing.mov");
  ASSERT_EQ(modifier->SetPath(PWStringRef(missing)), 0);
  EXPECT_LT(modifier->OpenMovieForWrite(), 0);
  struct stat info {};
  EXPECT_NE(::stat(missing.c_str(), &info), 0);
  EXPECT_FALSE(modifier->HoldsMovie());
}

TEST_F(MovieModifierTest, OwnsOnlyWhatItOpened) {
  const std::string path = Copy(movtest::MovFixtures::Get().headerFirst, "movie.mov");
  std::unique_ptr<hc::playback::Movie> given = OpenPlaying(path);
  auto modifier = KsMakeRef<MovieSigner>();
  ASSERT_EQ(modifier->SetPath(PWStringRef(path)), 0);
  // Opening twice, and setting a movie over an opened one, lets go of the
  // earlier movie (the leak checker sees any that stays).
  ASSERT_EQ(modifier->OpenMovieForRead(), 0);
  ASSERT_EQ(modifier->OpenMovieForRead(), 0);
  ASSERT_EQ(modifier->OpenMovieForWrite(), 0);
  EXPECT_FALSE(modifier->GetMovie());
  ASSERT_EQ(modifier->SetMovie(given.get()), 0);
  EXPECT_FALSE(modifier->GetOwnsMovie());
  EXPECT_FALSE(modifier->GetDataHandler());
  MovFile* file = nullptr;
  ASSERT_EQ(modifier->GetMovieFile(&file), 0);
  EXPECT_EQ(file->TrackCount(), 3u);
  // A handed-in movie is only forgotten.
  modifier->CloseMovie();
  EXPECT_FALSE(modifier->GetMovie());
  EXPECT_GT(given->Duration(), 0);
  EXPECT_EQ(modifier->SaveMovie(), MovieModifier::kNoDataHandler);
  EXPECT_EQ(modifier->GetMovieFile(&file), -903);
}

TEST_F(MovieModifierTest, PathAndUrlAreEachReadBackOnlyAsWhatTheyAre) {
  auto modifier = KsMakeRef<MovieSigner>();
  PWStringRef text;
  EXPECT_EQ(modifier->GetPath(&text), -902);
  ASSERT_EQ(modifier->SetURL(PWStringRef("https://example.com/movie.mov")), 0);
  EXPECT_EQ(modifier->GetPath(&text), -902);
  ASSERT_EQ(modifier->GetURL(&text), 0);
  EXPECT_EQ(text.Str(), "https://example.com/movie.mov");
  // A URL can't be updated in place.
  EXPECT_EQ(modifier->OpenMovieForWrite(), -2);
  ASSERT_EQ(modifier->SetPath(PWStringRef("/tmp/movie.mov")), 0);
  EXPECT_EQ(modifier->GetURL(&text), -902);
  ASSERT_EQ(modifier->GetPath(&text), 0);
  EXPECT_EQ(text.Str(), "/tmp/movie.mov");

  auto fresh = KsMakeRef<MovieSigner>();
  EXPECT_EQ(fresh->OpenMovieForRead(), -2);
  EXPECT_EQ(fresh->OpenMovieForWrite(), -2);
}

TEST_F(MovieModifierTest, FlattenWritesAPlayableCopyAndAnswersItsErrors) {
  if (!movtest::HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is missing";
  const std::string source = Copy(movtest::MovFixtures::Get().headerLast, "source.mov");
  std::unique_ptr<hc::playback::Movie> given = OpenPlaying(source);
  auto modifier = KsMakeRef<MovieSigner>();
  // Nothing to flatten.
  ASSERT_EQ(modifier->SetPath(PWStringRef(folder.File("flat.mov"))), 0);
  EXPECT_EQ(modifier->FlattenMovie(), -903);
  // A destination that can't be written.
  ASSERT_EQ(modifier->SetPath(PWStringRef(folder.File("no-such-folder/flat.mov"))), 0);
  ASSERT_EQ(modifier->SetMovie(given.get()), 0);
  EXPECT_LT(modifier->FlattenMovie(), 0);
  // Onto the movie itself.
  ASSERT_EQ(modifier->SetPath(PWStringRef(source)), 0);
  ASSERT_EQ(modifier->SetMovie(given.get()), 0);
  EXPECT_LT(modifier->FlattenMovie(), 0);

  const std::string flat = folder.File("flat.mov");
  ASSERT_EQ(modifier->SetPath(PWStringRef(flat)), 0);
  ASSERT_EQ(modifier->SetMovie(given.get()), 0);
  ASSERT_EQ(modifier->FlattenMovie(), 0);
  EXPECT_EQ(movtest::FrameMd5(flat), movtest::FrameMd5(source));
  MovFile copy;
  ASSERT_EQ(copy.OpenForRead(flat), MovErr::Ok);
  EXPECT_TRUE(copy.HeaderWasCompressed());
}

TEST_F(MovieModifierTest, OnlyTheConcreteClassesAreMadeByName) {
  EXPECT_FALSE(MakeObject<KsObject>(PWStringRef("MovieModifier")));
  const KsRef<MovieSerializer> serializer = MakeObject<MovieSerializer>(PWStringRef("MovieSerializer"));
  ASSERT_TRUE(serializer);
  EXPECT_EQ(serializer->GetDataCompressorType(), kZlibDataCompressorType);
  EXPECT_FALSE(serializer->GetGuessPanoProjection());
  EXPECT_FALSE(serializer->GetLoadAsSingleSource());
  EXPECT_FALSE(serializer->HoldsMovie());
  EXPECT_TRUE(MakeObject<MovieSigner>(PWStringRef("MovieSigner")));
}

TEST_F(MovieModifierTest, OpensJustTheFileForWorkOnWhatTheMovieStores) {
  const std::string path = Copy(movtest::MovFixtures::Get().headerLast, "movie.mov");
  auto modifier = KsMakeRef<MovieSigner>();
  ASSERT_EQ(modifier->SetPath(PWStringRef(path)), 0);
  ASSERT_EQ(modifier->OpenMovieFileForRead(), 0);
  EXPECT_TRUE(modifier->HoldsMovie());
  EXPECT_FALSE(modifier->GetMovie());
  EXPECT_FALSE(modifier->GetDataHandler());
  MovFile* file = nullptr;
  ASSERT_EQ(modifier->GetMovieFile(&file), 0);
  EXPECT_EQ(file->TrackCount(), 3u);
  modifier->CloseMovie();
  EXPECT_FALSE(modifier->HoldsMovie());
  ASSERT_EQ(modifier->SetURL(PWStringRef("https://example.com/movie.mov")), 0);
  EXPECT_EQ(modifier->OpenMovieFileForRead(), -2);
}
