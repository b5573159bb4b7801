#include "platform/playback/DataReference.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

using hc::playback::DataReference;
using hc::playback::PlaybackErr;

namespace {

TEST(DataReferenceTest, PathsBecomeAbsoluteZeroTerminatedFileReferences) {
  DataReference reference;
  ASSERT_EQ(DataReference::FromPath("/movies/a b.mov", &reference), PlaybackErr::Ok);
  EXPECT_TRUE(reference.IsFile());
  EXPECT_EQ(reference.Type(), DataReference::kFileType);
  EXPECT_EQ(reference.Text(), "/movies/a b.mov");
  ASSERT_EQ(reference.Bytes().size(), 16u);
  EXPECT_EQ(reference.Bytes().back(), 0);

  char folder[4096];
  ASSERT_NE(getcwd(folder, sizeof folder), nullptr);
  ASSERT_EQ(DataReference::FromPath("clip.mov", &reference), PlaybackErr::Ok);
  EXPECT_EQ(reference.Text(), std::string(folder) + "/clip.mov");
}

TEST(DataReferenceTest, RefusesWhatIsNoPathOrWebAddress) {
  DataReference reference;
  ASSERT_EQ(DataReference::FromUrl("https://example.org/m.mov?x=1", &reference), PlaybackErr::Ok);
  const DataReference kept = reference;
  struct Case {
    bool url;
    std::string text;
  };
  const Case refused[] = {
      {false, ""},
      {false, std::string("a\0b", 3)},
      {false, std::string(DataReference::kMaxLength, 'a')},
      {true, "ftp://example.org/m.mov"},
      {true, "file:///etc/passwd"},
      {true, "http://"},
      {true, "http:///path"},
      {true, "http://example.org/a b.mov"},
      {true, "http://example.org/\x01"},
      {true, "example.org/m.mov"},
  };
  for (const Case& test : refused) {
    const PlaybackErr result =
        test.url ? DataReference::FromUrl(test.text, &reference) : DataReference::FromPath(test.text, &reference);
    EXPECT_EQ(result, PlaybackErr::BadArgument) << test.text.substr(0, 40);
    EXPECT_EQ(reference, kept);  // a refusal changes nothing
  }
  EXPECT_TRUE(reference.IsUrl());
  EXPECT_EQ(reference.Type(), DataReference::kUrlType);
  EXPECT_EQ(DataReference::FromPath("x", nullptr), PlaybackErr::BadArgument);
  EXPECT_EQ(DataReference::FromUrl("HTTP://EXAMPLE.ORG/", &reference), PlaybackErr::Ok);
}

}  // namespace
