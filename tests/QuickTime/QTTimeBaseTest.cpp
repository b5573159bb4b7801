#include <gtest/gtest.h>

#include <memory>

#include "PlaybackTestMovies.h"
#include "QuickTime/MovieAutoPlay.h"
#include "QuickTime/QTTimeBase.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcProperty.h"
#include "platform/movfile/MovFile.h"
#include "platform/movfile/MovFourCC.h"
#include "platform/playback/Movie.h"
#include "platform/playback/TimeBase.h"
#include "tests/platform/movfile/MovTestTools.h"

namespace {

TEST(QTTimeBase, SecondsBecomeMillisecondsRoundedHalfUpThenTruncated) {
  const struct {
    double seconds;
    int64_t count;
  } cases[] = {{1.2345, 1235}, {2.0, 2000}, {0.0004, 0}, {0.0005, 1}, {-1.2, -1199}, {-0.0004, 0}, {-2.0, -1999}};
  for (const auto& c : cases) EXPECT_EQ(c.count, QTTimeBase::SecondsToCount(c.seconds)) << c.seconds;
}

TEST(QTTimeBase, ReadsAndWritesTheTimeBaseInSeconds) {
  RegisterAllClasses();
  hc::playback::TimeBase timeBase(600);
  timeBase.SetHostClock([] { return uint64_t{0}; });
  timeBase.SetStopTime(6000, 600);
  auto wrapper = KsMakeRef<QTTimeBase>();
  ASSERT_EQ(0, wrapper->SetTimeBase(&timeBase));

  EXPECT_EQ(0, wrapper->SetStartTime(2.0));
  EXPECT_EQ(2000, timeBase.GetStartTime(1000));
  EXPECT_DOUBLE_EQ(2.0, wrapper->GetStartTime());
  EXPECT_EQ(0, wrapper->SetStopTime(7.5));
  EXPECT_DOUBLE_EQ(7.5, wrapper->GetStopTime());
  EXPECT_EQ(0, wrapper->SetCurrentTime(3.25));
  EXPECT_EQ(3250, timeBase.GetTime(1000));
  EXPECT_DOUBLE_EQ(3.25, wrapper->GetCurrentTime());

  EXPECT_EQ(0, wrapper->SetRate(1.5f));
  EXPECT_DOUBLE_EQ(1.5, timeBase.Rate());
  EXPECT_FLOAT_EQ(1.5f, wrapper->GetRate());
  EXPECT_EQ(0, wrapper->SetRate(1.0f / 3.0f));
  EXPECT_DOUBLE_EQ(21845.0 / 65536.0, timeBase.Rate()) << "rates keep 16.16 fixed point";

  // The same through the property table, as HcML and the bridge reach it.
  KsRef<HcProperty> current = wrapper->GetClassObject()->FindProperty("CurrentTime");
  ASSERT_TRUE(current);
  EXPECT_EQ(0, current->SetValue(wrapper.Get(), 4.0));
  double read = 0;
  EXPECT_EQ(0, current->GetValue(wrapper.Get(), &read));
  EXPECT_DOUBLE_EQ(4.0, read);
}

TEST(QTTimeBase, WithoutATimeBaseSettersFailAndGettersReadZero) {
  auto wrapper = KsMakeRef<QTTimeBase>();
  EXPECT_EQ(AppErr::kNotReady, wrapper->SetRate(1.0f));
  EXPECT_EQ(AppErr::kNotReady, wrapper->SetStartTime(1.0));
  EXPECT_EQ(AppErr::kNotReady, wrapper->SetStopTime(1.0));
  EXPECT_EQ(AppErr::kNotReady, wrapper->SetCurrentTime(1.0));
  EXPECT_EQ(0.0f, wrapper->GetRate());
  EXPECT_EQ(0.0, wrapper->GetStartTime());
  EXPECT_EQ(0.0, wrapper->GetStopTime());
  EXPECT_EQ(0.0, wrapper->GetCurrentTime());
}

TEST(MovieAutoPlay, TheFirstByteOfThePlayItemSaysWhetherToPlay) {
  if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is missing";
  EXPECT_EQ(0, GetMovieAutoPlayFlag(static_cast<const hc::playback::Movie*>(nullptr)));
  EXPECT_EQ(0, GetMovieAutoPlayFlag(hc::playback::Movie::CreateEmpty().get())) << "no file, no user data";
  const struct {
    const char* name;
    std::vector<uint8_t> item;  // empty: no item
    uint8_t flag;
  } cases[] = {{"none", {}, 0}, {"one", {1}, 1}, {"max", {255, 0}, 255}, {"zero", {0, 7}, 0}};
  for (const auto& c : cases) {
    const std::string path = playtest::ScratchPath(std::string("autoplay-") + c.name + ".mov");
    movtest::CopyFile(playtest::MoviePath(playtest::Fixture::Fps25), path);
    if (!c.item.empty()) {
      hc::movfile::MovFile file;
      ASSERT_EQ(hc::movfile::MovErr::Ok, file.OpenForUpdate(path));
      ASSERT_EQ(hc::movfile::MovErr::Ok, file.UserData().AppendItem(hc::movfile::MovFourCC("play"), c.item));
      ASSERT_EQ(hc::movfile::MovErr::Ok, file.Save());
    }
    std::unique_ptr<hc::playback::Movie> movie = playtest::OpenMovie(path);
    ASSERT_TRUE(movie) << c.name;
    EXPECT_EQ(c.flag, GetMovieAutoPlayFlag(movie.get())) << c.name;
  }
}

}  // namespace
