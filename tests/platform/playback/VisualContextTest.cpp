#include "platform/playback/VisualContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/platform/movfile/MovTestTools.h"
#include "PlaybackTestMovies.h"
#include "platform/gl/DisplayLink.h"
#include "platform/playback/Movie.h"

using hc::gl::DisplayLink;
using hc::gl::DisplayTimeStamp;
using hc::playback::Movie;
using hc::playback::PlaybackErr;
using hc::playback::VideoTexture;
using hc::playback::VisualContext;
using playtest::Fixture;

namespace {

constexpr int kWaitMs = 5000;

DisplayTimeStamp StampAt(uint64_t hostTime) {
  DisplayTimeStamp stamp;
  stamp.version = DisplayTimeStamp::kCurrentVersion;
  stamp.videoTimeScale = 1000000000;
  stamp.hostTime = hostTime;
  stamp.flags = DisplayTimeStamp::kHostTimeValid;
  return stamp;
}

int FrameIndex(double seconds, const playtest::FixtureFacts& facts) {
  return static_cast<int>(std::floor(seconds * facts.fpsNum / facts.fpsDen + 1e-4));
}

class VisualContextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg missing";
    ASSERT_TRUE(gl_.Make());
  }

  // Converted frames by default: the tests compare them with ffmpeg's BGRA.
  std::unique_ptr<VisualContext> MakeContext(Movie& movie, bool keepDecoderLayout = false) {
    VisualContext::Options options;
    options.keepDecoderLayout = keepDecoderLayout;
    std::unique_ptr<VisualContext> context;
    EXPECT_EQ(VisualContext::Create(gl_.context.get(), options, &context), PlaybackErr::Ok);
    EXPECT_EQ(context->SetMovie(&movie), PlaybackErr::Ok);
    return context;
  }

  playtest::GlTestContext gl_;
};

// The frame handed out for a movie time is ffmpeg's frame for that time, for
// frame rates whose frame starts fall between time-scale units too.
TEST_F(VisualContextTest, FrameAtTimeMatchesFfmpeg) {
  for (Fixture fixture : {Fixture::Fps24, Fixture::Fps25, Fixture::Fps2997}) {
    const playtest::FixtureFacts facts = playtest::FactsOf(fixture);
    const std::string& path = playtest::MoviePath(fixture);
    auto movie = playtest::OpenMovie(path);
    ASSERT_TRUE(movie) << path;
    auto context = MakeContext(*movie);
    // Key frames every 12 frames with B-frames between: land before, on and after them.
    for (int frame : {0, 11, 12, 13, 37, facts.frames - 1}) {
      const auto expected = playtest::FfmpegFrameBgra(path, playtest::FrameStartText(facts, frame));
      ASSERT_EQ(expected.size(), 64u * 48u * 4u);
      for (double into : {0.0, 0.5}) {
        SCOPED_TRACE(testing::Message() << "fps " << facts.fpsNum << "/" << facts.fpsDen << " frame " << frame
                                        << " +" << into);
        // Exact rational time of the frame's start (plus half a frame).
        const int64_t scale = int64_t{facts.fpsNum} * 2;
        movie->GetTimeBase()->SetTime(int64_t{frame} * facts.fpsDen * 2 + static_cast<int64_t>(into * 2 * facts.fpsDen),
                                      static_cast<int32_t>(scale));
        ASSERT_EQ(context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);
        std::shared_ptr<VideoTexture> texture;
        ASSERT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::Ok);
        EXPECT_EQ(FrameIndex(texture->MovieSeconds(), facts), frame);
        EXPECT_LE(playtest::MaxDifference(playtest::ReadTexture(*texture), expected), 2);
      }
    }
  }
}

TEST_F(VisualContextTest, TextureFactsAndRefusals) {
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps25));
  ASSERT_TRUE(movie);
  std::unique_ptr<VisualContext> context;
  std::shared_ptr<VideoTexture> texture;
  EXPECT_EQ(VisualContext::Create(nullptr, {}, &context), PlaybackErr::BadArgument);
  VisualContext::Options yuv;
  yuv.pixelFormat = hc::playback::VideoPixelFormat::YUV422_2vuy;
  EXPECT_EQ(VisualContext::Create(gl_.context.get(), yuv, &context), PlaybackErr::BadArgument);
  VisualContext::Options converted;
  converted.keepDecoderLayout = false;
  ASSERT_EQ(VisualContext::Create(gl_.context.get(), converted, &context), PlaybackErr::Ok);
  EXPECT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::NoImage);  // no movie yet
  auto empty = Movie::CreateEmpty();
  EXPECT_EQ(context->SetMovie(empty.get()), PlaybackErr::InvalidTrack);
  ASSERT_EQ(context->SetMovie(movie.get()), PlaybackErr::Ok);
  ASSERT_EQ(context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);

  // Not from a thread where the context is not current.
  std::thread([&] { EXPECT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::WrongContext); }).join();
  ASSERT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::Ok);
  EXPECT_EQ(texture->Target(), static_cast<unsigned>(GL_TEXTURE_RECTANGLE));
  EXPECT_EQ(texture->Layout(), hc::playback::VideoFrameLayout::Packed);
  EXPECT_EQ(texture->PlaneCount(), 1);
  EXPECT_NE(texture->Name(), 0u);
  EXPECT_TRUE(texture->IsFlipped());
  const auto& corners = texture->CleanTexCoords();  // lower-left, lower-right, upper-right, upper-left
  EXPECT_EQ(corners[0].x, 0.0f);
  EXPECT_EQ(corners[0].y, 48.0f);
  EXPECT_EQ(corners[2].x, 64.0f);
  EXPECT_EQ(corners[2].y, 0.0f);
  // The same frame again is the same texture; nothing new is due while paused.
  std::shared_ptr<VideoTexture> again;
  EXPECT_FALSE(context->IsNewImageAvailable(nullptr));
  ASSERT_EQ(context->CopyImageForTime(nullptr, &again), PlaybackErr::Ok);
  EXPECT_EQ(again.get(), texture.get());
  // A finished frame's texture is reused for the next one.
  const unsigned name = texture->Name();
  texture.reset();
  again.reset();
  movie->SetTime(movie->TimeScale());
  ASSERT_EQ(context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);
  EXPECT_TRUE(context->IsNewImageAvailable(nullptr));
  ASSERT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::Ok);
  EXPECT_EQ(texture->Name(), name);
  EXPECT_NEAR(texture->MovieSeconds(), 1.0, 1e-6);
}

// Planar pictures reach the card as the decoder made them: each plane at its
// own size, bit for bit what ffmpeg decodes, with the picture's colorimetry.
TEST_F(VisualContextTest, PlanarFramesGoUpUnconverted) {
  const std::string& path = playtest::MoviePath(Fixture::Fps25);
  auto movie = playtest::OpenMovie(path);
  ASSERT_TRUE(movie);
  auto context = MakeContext(*movie, true);
  for (int frame : {0, 13, 49}) {
    SCOPED_TRACE(frame);
    movie->SetTime(int64_t{frame} * movie->TimeScale() / 25);
    ASSERT_EQ(context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);
    std::shared_ptr<VideoTexture> texture;
    ASSERT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::Ok);
    ASSERT_EQ(texture->Layout(), hc::playback::VideoFrameLayout::Planar);
    ASSERT_EQ(texture->PlaneCount(), 3);
    EXPECT_EQ(texture->Matrix(), hc::playback::VideoMatrix::BT601);
    EXPECT_FALSE(texture->FullRange());
    EXPECT_EQ(texture->PlaneAt(1).width, 32);
    EXPECT_EQ(texture->PlaneAt(2).height, 24);
    std::vector<uint8_t> planes;
    for (int i = 0; i < 3; ++i) {
      const auto plane = playtest::ReadPlane(*texture, i);
      planes.insert(planes.end(), plane.begin(), plane.end());
    }
    EXPECT_EQ(planes, playtest::FfmpegFrameRaw(path, playtest::FrameStartText(playtest::FactsOf(Fixture::Fps25), frame),
                                               "yuv420p"));
  }
  const auto statistics = context->GetStatistics();
  EXPECT_EQ(statistics.framesConverted, 0u);
  EXPECT_EQ(statistics.buffersMade, 0u);
}

// A stream whose pictures change size and layout midway: every picture is
// shown at its own size, converted with a converter set up for it, or
// uploaded plane by plane with its own rows, on both paths.
TEST_F(VisualContextTest, MidStreamChangeOfSizeAndLayout) {
  const std::string& path = playtest::MoviePath(Fixture::SizeChange);
  ASSERT_FALSE(path.empty());
  const playtest::FixtureFacts facts = playtest::FactsOf(Fixture::SizeChange);
  struct Step {
    int frame;
    int width;
    int height;
    const char* layout;
  };
  const Step steps[] = {{3, 64, 48, "yuv420p"}, {30, 96, 64, "yuv422p"}, {10, 64, 48, "yuv420p"}, {49, 96, 64, "yuv422p"}};
  for (bool keepDecoderLayout : {false, true}) {
    SCOPED_TRACE(keepDecoderLayout ? "planes" : "converted");
    auto movie = playtest::OpenMovie(path);
    ASSERT_TRUE(movie);
    auto context = MakeContext(*movie, keepDecoderLayout);
    for (const Step& step : steps) {
      SCOPED_TRACE(step.frame);
      movie->SetTime(int64_t{step.frame} * movie->TimeScale() / 25);
      ASSERT_EQ(context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);
      std::shared_ptr<VideoTexture> texture;
      ASSERT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::Ok);
      EXPECT_EQ(texture->Width(), step.width);
      EXPECT_EQ(texture->Height(), step.height);
      const std::string at = playtest::FrameStartText(facts, step.frame);
      if (keepDecoderLayout) {
        ASSERT_EQ(texture->PlaneCount(), 3);
        EXPECT_EQ(texture->PlaneAt(1).height, std::string(step.layout) == "yuv422p" ? step.height : step.height / 2);
        std::vector<uint8_t> planes;
        for (int i = 0; i < 3; ++i) {
          const auto plane = playtest::ReadPlane(*texture, i);
          planes.insert(planes.end(), plane.begin(), plane.end());
        }
        EXPECT_EQ(planes, playtest::FfmpegFrameRaw(path, at, step.layout));
      } else {
        EXPECT_LE(playtest::MaxDifference(playtest::ReadTexture(*texture), playtest::FfmpegFrameBgra(path, at)), 2);
      }
    }
    EXPECT_EQ(context->DecodeError(), PlaybackErr::Ok);
  }
}

// Converted frames go into buffers the context keeps: once the queue is full,
// playing on takes every buffer from the pool and allocates none.
TEST_F(VisualContextTest, SteadyPlaybackReusesFrameBuffers) {
  // Read by the decode thread: declared first, so it outlives what reads it.
  std::atomic<uint64_t> host{1000};
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps25));
  ASSERT_TRUE(movie);
  auto context = MakeContext(*movie);
  movie->GetTimeBase()->SetHostClock([&host] { return host.load(); });
  movie->SetRate(1.0);
  // Three frames a step, so that several buffers come free at once.
  for (int frame = 0; frame < 50; frame += 3) {
    host = 1000 + static_cast<uint64_t>(frame) * 40000000ull;
    ASSERT_EQ(context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok) << frame;
    std::shared_ptr<VideoTexture> texture;
    ASSERT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::Ok);
  }
  const auto statistics = context->GetStatistics();
  EXPECT_GE(statistics.framesConverted, 49u);
  EXPECT_LE(statistics.buffersMade, context->QueueCapacity() + 2);
}

// Playing under a manual display clock: each refresh asks for the frame due
// at its output time; decoding is given the time to keep up before each one.
class PlaybackRun {
 public:
  PlaybackRun(VisualContext& context, Movie& movie, hc::gl::GlContext& gl) : context_(context), gl_(gl) {
    link_.SetRefreshRate(60.0);
    movie.GetTimeBase()->SetHostClock([this] { return link_.ManualClockTime(); });
  }

  // Frame starts shown over `refreshes` refreshes, one entry per new frame.
  std::vector<double> Run(int refreshes) {
    std::vector<double> shown;
    link_.Start([&](const DisplayTimeStamp&, const DisplayTimeStamp& output) {
      gl_.MakeCurrent();
      std::shared_ptr<VideoTexture> texture;
      PlaybackErr r = context_.CopyImageForTime(&output, &texture);
      if (r == PlaybackErr::Ok &&
          (shown.empty() || shown.back() != texture->MovieSeconds())) {
        shown.push_back(texture->MovieSeconds());
      }
      texture.reset();
      hc::gl::GlContext::ClearCurrent();
    });
    // Rounded up, so that each step passes exactly one refresh.
    const uint64_t period = (1000000000ull + 59) / 60;
    for (int i = 0; i < refreshes; ++i) {
      // The next refresh draws for the one after it.
      DisplayTimeStamp next = StampAt(link_.ManualClockTime() + 2 * period);
      context_.WaitForImage(&next, kWaitMs);
      link_.AdvanceManualClock(period);
    }
    link_.Stop();
    return shown;
  }

 private:
  DisplayLink link_{DisplayLink::Timing::Manual};
  VisualContext& context_;
  hc::gl::GlContext& gl_;
};

std::vector<int> Indices(const std::vector<double>& seconds, const playtest::FixtureFacts& facts) {
  std::vector<int> indices;
  for (double s : seconds) indices.push_back(FrameIndex(s, facts));
  return indices;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> values;
  for (int i = first; first <= last ? i <= last : i >= last; i += first <= last ? 1 : -1) values.push_back(i);
  return values;
}

struct PlayCase {
  const char* name;
  double rate;
  double startSeconds;
  bool looping;
  bool selectionOnly;  // the selection 0.4 s .. 0.8 s
  int refreshes;
};

// What a player shows: at refresh i (from 1) the frame drawn is the one at
// the following refresh's time, wrapped into or held at the play range.
std::vector<int> ExpectedFrames(const PlayCase& test, const playtest::FixtureFacts& facts) {
  const double first = test.selectionOnly ? 0.4 : 0.0;
  const double last = test.selectionOnly ? 0.8 : static_cast<double>(facts.frames) * facts.fpsDen / facts.fpsNum;
  std::vector<int> frames;
  for (int i = 1; i <= test.refreshes; ++i) {
    double t = test.startSeconds + test.rate * (i + 1) / 60.0;
    if (test.looping) {
      t = first + std::fmod(std::fmod(t - first, last - first) + (last - first), last - first);
    } else {
      t = std::clamp(t, first, last);
    }
    const int frame = std::min(FrameIndex(t, facts), facts.frames - 1);
    if (frames.empty() || frames.back() != frame) frames.push_back(frame);
  }
  return frames;
}

TEST_F(VisualContextTest, PlaysLikeAPlayerUnderAManualClock) {
  const playtest::FixtureFacts facts = playtest::FactsOf(Fixture::Fps25);
  const std::vector<PlayCase> cases = {
      {"rate 1", 1.0, 0.0, false, false, 60},
      {"rate 2", 2.0, 0.0, false, false, 30},
      {"rate -1", -1.0, 1.5, false, false, 30},
      {"rate -1 to the start", -1.0, 0.2, false, false, 20},
      {"looping", 1.0, 1.8, true, false, 24},
      {"looping backwards", -1.0, 0.1, true, false, 18},
      {"selection only", 1.0, 0.4, true, true, 36},
      {"stops at end", 1.0, 1.84, false, false, 30},
  };
  for (const PlayCase& test : cases) {
    SCOPED_TRACE(test.name);
    auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps25));
    ASSERT_TRUE(movie);
    auto context = MakeContext(*movie);
    PlaybackRun run(*context, *movie, *gl_.context);
    hc::gl::GlContext::ClearCurrent();
    if (test.selectionOnly) {
      movie->SetSelection(movie->TimeScale() * 4 / 10, movie->TimeScale() * 4 / 10);
      movie->SetPlaySelectionOnly(true);
    }
    movie->SetLooping(test.looping);
    movie->SetTime(static_cast<int64_t>(std::lround(test.startSeconds * movie->TimeScale())));
    movie->SetRate(test.rate);
    const std::vector<double> shown = run.Run(test.refreshes);
    ASSERT_EQ(gl_.context->MakeCurrent(), hc::gl::GlError::None);
    const std::vector<int> expected = ExpectedFrames(test, facts);
    EXPECT_EQ(Indices(shown, facts), expected);
    if (test.rate == 1.0 && !test.looping) {
      EXPECT_EQ(expected, Range(expected.front(), expected.back()));  // in order, none skipped
    }
    EXPECT_EQ(context->DecodeError(), PlaybackErr::Ok);
  }
}

// A track movie's pictures follow the shared movie's time base.
TEST_F(VisualContextTest, TrackMovieShowsTheSharedMoviesTime) {
  auto shared = playtest::OpenMovie(playtest::MoviePath(Fixture::WithSound));
  ASSERT_TRUE(shared);
  hc::playback::MovieTrackInfo video;
  ASSERT_TRUE(shared->FirstVisualTrack(true, &video));
  std::unique_ptr<Movie> track;
  ASSERT_EQ(Movie::CreateTrackMovie(*shared, video.trackId, &track), PlaybackErr::Ok);
  ASSERT_EQ(shared->SetTrackEnabled(video.trackId, false), PlaybackErr::Ok);
  auto context = MakeContext(*track);
  for (double seconds : {1.0, 0.44, 1.96}) {
    shared->SetTime(static_cast<int64_t>(std::lround(seconds * shared->TimeScale())));
    ASSERT_EQ(context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);
    std::shared_ptr<VideoTexture> texture;
    ASSERT_EQ(context->CopyImageForTime(nullptr, &texture), PlaybackErr::Ok);
    EXPECT_NEAR(texture->MovieSeconds(), seconds, 1e-6);
  }
}

TEST_F(VisualContextTest, PausedContextStopsDecodingAndQueueStaysBounded) {
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps25));
  ASSERT_TRUE(movie);
  auto context = MakeContext(*movie);
  ASSERT_EQ(context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  const auto before = context->GetStatistics();
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  const auto after = context->GetStatistics();
  EXPECT_EQ(before.framesDecoded, after.framesDecoded);
  EXPECT_LE(after.peakQueued, context->QueueCapacity());
  EXPECT_GE(context->QueueCapacity(), VisualContext::kMinQueuedFrames);
  context->SetExpectedReadAhead(1.0);
  EXPECT_EQ(context->QueueCapacity(), 26u);  // 25 frames ahead and the current one
}

TEST_F(VisualContextTest, ImageAvailableCallbackAndClearingWaitsForARunningCall) {
  auto movie = playtest::OpenMovie(playtest::MoviePath(Fixture::Fps25));
  ASSERT_TRUE(movie);
  auto context = MakeContext(*movie);
  std::atomic<int> calls{0};
  std::atomic<bool> inside{false};
  std::atomic<bool> finished{false};
  context->SetImageAvailableCallback([&](const DisplayTimeStamp& stamp) {
    EXPECT_NE(stamp.flags & DisplayTimeStamp::kHostTimeValid, 0u);
    inside = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ++calls;
    finished = true;
  });
  movie->SetTime(movie->TimeScale() / 2);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!inside && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(inside);
  context->SetImageAvailableCallback(nullptr);
  EXPECT_TRUE(finished);  // cleared only once the running call returned
  const int count = calls;
  movie->SetTime(movie->TimeScale());
  context->WaitForImage(nullptr, kWaitMs);
  context->Task();
  EXPECT_EQ(calls, count);
}

// A movie whose media data is damaged decodes what it can and reports the
// rest; nothing crashes and asking for a frame never waits for decoding.
TEST_F(VisualContextTest, DamagedMediaNeverCrashesOrBlocks) {
  const std::string& path = playtest::MoviePath(Fixture::Fps25);
  std::vector<uint8_t> bytes = movtest::ReadBytes(path);
  ASSERT_GT(bytes.size(), 1000u);
  uint32_t seed = 12345;
  // The media data comes first in ffmpeg's layout: spoil most of it.
  for (size_t i = 48; i < bytes.size() * 6 / 10; ++i) {
    seed = seed * 1103515245u + 12345u;
    if ((seed >> 16) % 7 == 0) bytes[i] = static_cast<uint8_t>(seed >> 24);
  }
  const std::string damaged = playtest::ScratchPath("damaged.mov");
  movtest::WriteBytes(damaged, bytes);
  auto movie = playtest::OpenMovie(damaged);
  ASSERT_TRUE(movie);
  auto context = MakeContext(*movie);
  for (int step = 0; step < 8; ++step) {
    movie->SetTime(movie->Duration() * step / 8);
    context->WaitForImage(nullptr, 2000);
    const auto before = std::chrono::steady_clock::now();
    std::shared_ptr<VideoTexture> texture;
    const PlaybackErr result = context->CopyImageForTime(nullptr, &texture);
    EXPECT_TRUE(result == PlaybackErr::Ok || result == PlaybackErr::NoImage) << hc::playback::PlaybackErrName(result);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
  }
}

}  // namespace
