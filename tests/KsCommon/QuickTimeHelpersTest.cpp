#include "QuickTime/QuickTimeHelpers.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(QuickTimeHelpersTest, EmptyMovieHasNoTracksAndNoData) {
  std::unique_ptr<hc::playback::Movie> movie = QuickTimeHelpers::CreateEmptyMovie();
  ASSERT_TRUE(movie);
  EXPECT_TRUE(movie->Tracks().empty());
  EXPECT_EQ(movie->Duration(), 0);
  EXPECT_TRUE(movie->Reference().IsEmpty());
}

TEST(QuickTimeHelpersTest, TimeBaseTimesIn64BitsInTheAskedScale) {
  auto timeBase = std::make_shared<hc::playback::TimeBase>(600);
  SetTimeBaseStopTime64(timeBase.get(), 1000, int64_t{5} << 33);  // past 32 bits
  int64_t value = -1;
  GetTimeBaseStopTime64(timeBase.get(), 1000, &value);
  EXPECT_EQ(value, int64_t{5} << 33);
  SetTimeBaseStartTime64(timeBase.get(), 600, 1200);
  GetTimeBaseStartTime64(timeBase.get(), 1000, &value);
  EXPECT_EQ(value, 2000);
  // A time set in one scale reads in another, even though the base runs in 600.
  SetTimeBaseTime64(timeBase.get(), 30000, 90090);
  GetTimeBaseTime64(timeBase.get(), 1000, &value);
  EXPECT_EQ(value, 3003);
  GetTimeBaseTime64(timeBase.get(), 30000, &value);
  EXPECT_EQ(value, 90090);
  // Without a time base the getters still write.
  value = 77;
  GetTimeBaseTime64(nullptr, 1000, &value);
  EXPECT_EQ(value, 0);
  SetTimeBaseTime64(nullptr, 1000, 5);
}

TEST(QuickTimeHelpersTest, DataReferencesFromPathsAndUrls) {
  hc::playback::DataReference reference;
  uint32_t type = 0;
  EXPECT_EQ(MakeDataRefFromPWStringPath("/a/b.mov", &reference, &type), 0);
  EXPECT_EQ(type, hc::playback::DataReference::kFileType);
  EXPECT_EQ(reference.Text(), "/a/b.mov");
  EXPECT_NE(MakeDataRefFromPWStringPath(nullptr, &reference, &type), 0);
  EXPECT_EQ(MakeURLDataRefHandle("http://example.org/x", &reference), AppErr::kNoErr);
  EXPECT_TRUE(reference.IsUrl());
  EXPECT_EQ(MakeURLDataRefHandle("http://example.org/x", nullptr), AppErr::kBadArgument);
}

}  // namespace
