#include "platform/playback/SoundPlayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "PlaybackTestMovies.h"

using hc::playback::PlaybackErr;
using hc::playback::SoundPlayer;
using hc::playback::TimeBase;
using playtest::Fixture;

namespace {

constexpr int kFrames = 2048;

double Rms(const std::vector<float>& samples) {
  double sum = 0.0;
  for (float s : samples) sum += double{s} * s;
  return samples.empty() ? 0.0 : std::sqrt(sum / samples.size());
}

class SoundPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    timeBase_->SetHostClock([this] { return host_; });
    timeBase_->SetStopTime(2000, 1000);
    timeBase_->SetSeconds(0.5);
  }

  std::unique_ptr<SoundPlayer> MakePlayer(const char* driver) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    std::unique_ptr<SoundPlayer> player;
    EXPECT_EQ(SoundPlayer::Create(playtest::FileReference(playtest::MoviePath(Fixture::WithSound)), 0, timeBase_,
                                  &player),
              PlaybackErr::Ok);
    return player;
  }

  // The mix once the decoder has caught up (at most two seconds).
  std::vector<float> MixWhenReady(SoundPlayer& player) {
    std::vector<float> out(kFrames * 2);
    for (int i = 0; i < 400; ++i) {
      player.Mix(out.data(), kFrames);
      if (Rms(out) > 0.0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return out;
  }

  uint64_t host_ = 0;
  std::shared_ptr<TimeBase> timeBase_ = std::make_shared<TimeBase>(1000);
};

TEST_F(SoundPlayerTest, SoundsOnlyWhilePlayingForwardsAtItsVolume) {
  auto player = MakePlayer("dummy");
  ASSERT_TRUE(player);
  ASSERT_TRUE(player->HasDevice());
  std::vector<float> out(kFrames * 2);
  player->Mix(out.data(), kFrames);
  EXPECT_EQ(Rms(out), 0.0);  // standing still: silence
  timeBase_->SetRate(1.0);
  const double full = Rms(MixWhenReady(*player));
  EXPECT_GT(full, 0.05);  // ffmpeg's sine source: amplitude 1/8
  EXPECT_GT(player->FramesSounded(), 0u);
  player->SetVolume(0.5f);
  EXPECT_NEAR(Rms(MixWhenReady(*player)) / full, 0.5, 0.05);
  player->SetMuted(true);
  player->Mix(out.data(), kFrames);
  EXPECT_EQ(Rms(out), 0.0);
  player->SetMuted(false);
  timeBase_->SetRate(-1.0);
  player->Mix(out.data(), kFrames);
  EXPECT_EQ(Rms(out), 0.0);
  // After a jump it sounds again from the new time.
  timeBase_->SetRate(1.0);
  timeBase_->SetSeconds(1.2);
  EXPECT_GT(Rms(MixWhenReady(*player)), 0.02);
}

// No audio device is no error: the player is made and stays silent.
TEST_F(SoundPlayerTest, NoDeviceIsNoError) {
  auto player = MakePlayer("no-such-driver");
  ASSERT_TRUE(player);
  EXPECT_FALSE(player->HasDevice());
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::WithSound));
  ASSERT_TRUE(movie);
  std::vector<hc::playback::Movie::Action> actions;
  movie->SetActionCallback([&](const hc::playback::Movie::Action& action) { actions.push_back(action); });
  movie->SetRate(1.0);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].kind, hc::playback::Movie::Action::Kind::Play);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST_F(SoundPlayerTest, RefusesWhatItCannotPlay) {
  std::unique_ptr<SoundPlayer> player;
  EXPECT_EQ(SoundPlayer::Create(playtest::FileReference(playtest::MoviePath(Fixture::Fps25)), 0, timeBase_, &player),
            PlaybackErr::InvalidTrack);
  EXPECT_EQ(SoundPlayer::Create(playtest::FileReference(playtest::MoviePath(Fixture::WithSound)), 0, nullptr,
                                &player),
            PlaybackErr::BadArgument);
}

}  // namespace
