#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "PlaybackTestMovies.h"
#include "Projection/EquirectangularProj.h"
#include "Projection/PlanarProjection.h"
#include "QuickTime/QTMovieArbiter.h"
#include "QuickTime/QTMovieToken.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "RendererTestSupport.h"
#include "Source/QTMovieSource.h"
#include "Source/QTMovieTrackSource.h"
#include "Source/SourceErr.h"
#include "Source/VisualContextDisposal.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VideoTexture.h"
#include "platform/playback/VisualContext.h"
#include "tests/platform/movfile/MovTestTools.h"

namespace {

using playtest::Fixture;
constexpr int kWaitMs = 5000;

int FrameIndex(double seconds, const playtest::FixtureFacts& facts) {
  return static_cast<int>(std::floor(seconds * facts.fpsNum / facts.fpsDen + 1e-6));
}

KsRef<QTMovieArbiter> OpenArbiter(const std::string& path) {
  auto arbiter = KsMakeRef<QTMovieArbiter>();
  EXPECT_EQ(0, arbiter->OpenMovieAtPath(path.c_str(), true)) << path;
  return arbiter;
}

// A movie whose pixels are 4 wide for every 3 high ('pasp' 4:3), or one
// with two video tracks of different patterns.
std::string MakeMovie(const std::string& name, const std::vector<std::string>& options) {
  const std::string path = playtest::ScratchPath(name);
  std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.insert(argv.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", path});
  EXPECT_EQ(0, movtest::RunTool(argv).status) << name;
  return path;
}

class MovieSource : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
  void SetUp() override {
    if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is missing";
    ASSERT_TRUE(drawing.Make(64, 48));
  }

  // The frame the texture set shows after the source's visual context has
  // the picture due now.
  std::shared_ptr<hc::playback::VideoTexture> FrameShown(QTMovieSource& source, KsRef<HcTextureSet>& set) {
    EXPECT_EQ(0, source.TextureSetForRenderer(drawing.renderer, set, 15));
    std::shared_ptr<hc::playback::VisualContext> context = source.GetVisualContext();
    if (!context || !set) return nullptr;
    EXPECT_EQ(hc::playback::PlaybackErr::Ok, context->WaitForImage(nullptr, kWaitMs));
    set->UpdateForRenderer(drawing.renderer);
    auto vcSet = set.DynamicCast<QTVisualContextTextureSet>();
    return vcSet ? vcSet->GetTexture()->GetVideoTexture() : nullptr;
  }

  DrawingRenderer drawing;
};

// Through the source, the frame shown for a movie time is ffmpeg's frame for
// that time, also where frame starts fall between time-scale units.
TEST_F(MovieSource, FramesFollowTheMoviesTimeExactly) {
  for (Fixture fixture : {Fixture::Fps25, Fixture::Fps2997}) {
    const playtest::FixtureFacts facts = playtest::FactsOf(fixture);
    const std::string& path = playtest::MoviePath(fixture);
    KsRef<QTMovieArbiter> arbiter = OpenArbiter(path);
    auto source = KsMakeRef<QTMovieSource>();
    source->SetProjection(KsMakeRef<PlanarProjection>());
    ASSERT_EQ(0, source->SetMovieArb(arbiter));
    hc::playback::Movie* movie = arbiter->GetMovie();
    KsRef<HcTextureSet> set;
    for (int frame : {0, 11, 12, 13, 37, facts.frames - 1}) {
      for (double into : {0.0, 0.5}) {
        SCOPED_TRACE(testing::Message() << "fps " << facts.fpsNum << "/" << facts.fpsDen << " frame " << frame
                                        << " +" << into);
        const int64_t scale = int64_t{facts.fpsNum} * 2;
        movie->GetTimeBase()->SetTime(
            int64_t{frame} * facts.fpsDen * 2 + static_cast<int64_t>(into * 2 * facts.fpsDen),
            static_cast<int32_t>(scale));
        std::shared_ptr<hc::playback::VideoTexture> shown = FrameShown(*source, set);
        ASSERT_TRUE(shown);
        EXPECT_EQ(frame, FrameIndex(shown->MovieSeconds(), facts));
      }
    }
    EXPECT_EQ(64, source->GetWidth());
    EXPECT_EQ(48, source->GetHeight());
    EXPECT_TRUE(source->GetHasData());
    source->FinishedDrawCycle();
  }
}

// The frame the source's texture set shows is ffmpeg's picture of that frame.
TEST_F(MovieSource, ShownFrameMatchesFfmpegsPicture) {
  const playtest::FixtureFacts facts = playtest::FactsOf(Fixture::Fps25);
  const std::string& path = playtest::MoviePath(Fixture::Fps25);
  KsRef<QTMovieArbiter> arbiter = OpenArbiter(path);
  auto source = KsMakeRef<QTMovieSource>();
  source->SetProjection(KsMakeRef<PlanarProjection>());
  source->SetMovieArb(arbiter);
  arbiter->GetMovie()->SetTime(arbiter->GetMovie()->TimeScale());  // frame 25
  KsRef<HcTextureSet> set;
  std::shared_ptr<hc::playback::VideoTexture> shown = FrameShown(*source, set);
  ASSERT_TRUE(shown);
  KsRef<HcTexture> texture;
  ASSERT_EQ(0, set->GetTextureForQuadrant(15, texture));
  KsPointF range;
  texture->GetFullCoordRange(&range);
  EXPECT_EQ(64.0f, range.x);
  EXPECT_EQ(48.0f, range.y);
  KsPointF corner;
  texture->ImagePointToTexture({1.0f, 1.0f}, &corner);
  EXPECT_EQ(64.0f, corner.x) << "the image's bottom right";
  EXPECT_EQ(48.0f, corner.y);
  // Frames arrive in the decoder's own planes, byte for byte ffmpeg's.
  ASSERT_EQ(shown->PlaneCount(), 3);
  std::vector<uint8_t> planes;
  for (int i = 0; i < 3; ++i) {
    const auto plane = playtest::ReadPlane(*shown, i);
    planes.insert(planes.end(), plane.begin(), plane.end());
  }
  EXPECT_EQ(planes, playtest::FfmpegFrameRaw(path, playtest::FrameStartText(facts, 25), "yuv420p"));
}

TEST_F(MovieSource, NewPicturesOnlyRaiseFlags) {
  KsRef<QTMovieArbiter> arbiter = OpenArbiter(playtest::MoviePath(Fixture::Fps25));
  auto source = KsMakeRef<QTMovieSource>();
  source->SetMovieArb(arbiter);
  KsRef<HcTextureSet> set;
  ASSERT_TRUE(FrameShown(*source, set));
  drawing.renderer->SetIsDirty(false);
  const uint32_t frames = source->GetFrameCount();
  arbiter->GetMovie()->SetTime(arbiter->GetMovie()->TimeScale() / 2);
  source->FinishedDrawCycle();  // tasks the visual context, which signals the frame now due
  for (int i = 0; i < 500 && source->GetFrameCount() == frames; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    source->FinishedDrawCycle();
  }
  EXPECT_GT(source->GetFrameCount(), frames);
  EXPECT_TRUE(drawing.renderer->GetIsDirty());
}

TEST_F(MovieSource, UpdatesMarkTheRendererOnlyForNewPictures) {
  KsRef<QTMovieArbiter> arbiter = OpenArbiter(playtest::MoviePath(Fixture::Fps25));
  auto source = KsMakeRef<QTMovieSource>();
  source->SetMovieArb(arbiter);
  KsRef<HcTextureSet> set;
  ASSERT_TRUE(FrameShown(*source, set));
  source->Update();
  // A paused movie delivers nothing new: the post-flight updates after each
  // drawn frame leave the renderer clean, so nothing is redrawn.
  for (int i = 0; i < 3; ++i) {
    drawing.renderer->SetIsDirty(false);
    ASSERT_EQ(0, source->Update());
    EXPECT_FALSE(drawing.renderer->GetIsDirty()) << i;
    EXPECT_TRUE(source->GetHasData());
  }
}

TEST_F(MovieSource, NoPictureAtTheCurrentTimeAnswersNoImageYetButKeepsItsParts) {
  KsRef<QTMovieArbiter> arbiter = OpenArbiter(playtest::MoviePath(Fixture::Fps25));
  hc::playback::Movie* movie = arbiter->GetMovie();
  auto source = KsMakeRef<QTMovieSource>();
  source->SetMovieArb(arbiter);
  movie->SetTime(movie->Duration());
  KsRef<HcTextureSet> set;
  EXPECT_EQ(AppErr::kNoImageYet, source->TextureSetForRenderer(drawing.renderer, set, 15));
  EXPECT_FALSE(set);
  EXPECT_TRUE(source->GetVisualContext());
  EXPECT_TRUE(source->GetVCTextureSet());
  EXPECT_FALSE(source->GetHasData());

  // While another thread holds the movie the source assumes a picture.
  KsRef<QTMovieToken> held;
  std::atomic<bool> holding{false};
  std::atomic<bool> release{false};
  std::thread holder([&] {
    held = arbiter->WaitForToken(-1);
    holding = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    held = nullptr;
  });
  while (!holding) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(source->HasImageAtCurrentTime());
  release = true;
  holder.join();
}

TEST_F(MovieSource, AnotherArbiterGivesTheTextureSetANewContext) {
  KsRef<QTMovieArbiter> arbiter = OpenArbiter(playtest::MoviePath(Fixture::Fps25));
  auto source = KsMakeRef<QTMovieSource>();
  source->SetMovieArb(arbiter);
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  auto first = source->GetVisualContext();
  ASSERT_TRUE(first);

  source->SetMovieArb(arbiter);
  EXPECT_FALSE(source->GetVisualContext()) << "the same arbiter again still drops the context";
  KsRef<QTMovieArbiter> other = OpenArbiter(playtest::MoviePath(Fixture::Fps24));
  source->SetMovieArb(other);
  first = nullptr;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  ASSERT_TRUE(source->GetVisualContext());
  EXPECT_EQ(source->GetVisualContext(), source->GetVCTextureSet()->GetSharedVisualContext());
  EXPECT_EQ(other->GetClock(), source->GetClock());
}

TEST_F(MovieSource, ReadsPixelShapeAndSizeOfTheFirstEnabledTrack) {
  const std::string pasp = MakeMovie("pasp.mov", {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=25:duration=0.4",
                                                   "-vf", "setsar=4/3"});
  KsRef<QTMovieArbiter> arbiter = OpenArbiter(pasp);
  auto source = KsMakeRef<QTMovieSource>();
  source->SetProjection(KsMakeRef<EquirectangularProj>());
  source->SetMovieArb(arbiter);
  KsRef<QTMovieToken> token = source->GetMovieToken(-1);
  ASSERT_TRUE(token);
  source->ConfigureFromMovie(*token);
  EXPECT_FLOAT_EQ(0.75f, source->GetPixelAspectRatio());
  EXPECT_EQ(64, source->GetWidth());
  EXPECT_FLOAT_EQ(64.0f / (48.0f * 0.75f), source->GetProjection()->GetImageAspect());

  // Without 'pasp' pixels are square; a disabled track gives no size, while
  // the picture test still looks at it.
  KsRef<QTMovieArbiter> plain = OpenArbiter(playtest::MoviePath(Fixture::Fps25));
  auto other = KsMakeRef<QTMovieSource>();
  other->SetMovieArb(plain);
  hc::playback::MovieTrackInfo track;
  ASSERT_TRUE(plain->GetMovie()->FirstVisualTrack(true, &track));
  plain->GetMovie()->SetTrackEnabled(track.trackId, false);
  token = nullptr;
  KsRef<QTMovieToken> plainToken = other->GetMovieToken(-1);
  other->ConfigureFromMovie(*plainToken);
  plainToken = nullptr;
  EXPECT_FALSE(other->GetHasDimensions());
  EXPECT_EQ(1.0f, other->GetPixelAspectRatio());
  plain->GetMovie()->SetTime(plain->GetMovie()->Duration());
  EXPECT_FALSE(other->HasImageAtCurrentTime());
}

TEST_F(MovieSource, WithoutAnArbiterOrAnOpenGLRenderer) {
  auto source = KsMakeRef<QTMovieSource>();
  EXPECT_FALSE(source->GetClock());
  EXPECT_FALSE(source->GetMovieToken(0));
  float value = 0;
  EXPECT_EQ(AppErr::kNotReady, source->GetDataAtPoint(0, 0, 1, &value));
  EXPECT_TRUE(source->HasImageAtCurrentTime());

  source->SetMovieArb(OpenArbiter(playtest::MoviePath(Fixture::Fps25)));
  KsRef<HcTextureSet> set;
  EXPECT_EQ(0, source->TextureSetForRenderer(KsRef<PanoRenderer>(), set, 15));
  EXPECT_TRUE(set) << "a texture set without a visual context";
  EXPECT_FALSE(source->GetVisualContext());
  EXPECT_EQ(64, source->GetWidth()) << "the movie was still read";
}

TEST_F(MovieSource, AContextLetGoOffTheDrawingThreadIsDisposedOnIt) {
  KsRef<QTMovieArbiter> arbiter = OpenArbiter(playtest::MoviePath(Fixture::Fps25));
  auto source = KsMakeRef<QTMovieSource>();
  source->SetMovieArb(arbiter);
  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  set = nullptr;
  const size_t pending = VisualContextDisposal::PendingCount();
  std::thread([&] { source = nullptr; }).join();
  EXPECT_EQ(pending + 1, VisualContextDisposal::PendingCount());
  VisualContextDisposal::DisposeRetired();
  EXPECT_EQ(pending, VisualContextDisposal::PendingCount());
}

class TrackSource : public MovieSource {};

TEST_F(TrackSource, ShowsOneTrackInStepWithTheSharedMovie) {
  const std::string path = MakeMovie("two-tracks.mov", {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=25:duration=1",
                                                         "-f", "lavfi", "-i", "testsrc2=size=32x16:rate=25:duration=1",
                                                         "-map", "0", "-map", "1"});
  KsRef<QTMovieArbiter> shared = OpenArbiter(path);
  const std::vector<hc::playback::MovieTrackInfo> tracks = shared->GetMovie()->Tracks();
  ASSERT_EQ(2u, tracks.size());
  const uint32_t secondId = tracks[1].trackId;
  ASSERT_EQ(hc::playback::PlaybackErr::Ok, shared->GetMovie()->SetTrackEnabled(secondId, true));

  auto source = KsMakeRef<QTMovieTrackSource>();
  ASSERT_EQ(0, source->SetMovieArb(shared)) << "no track yet: nothing built";
  EXPECT_FALSE(source->GetTrackArbiter());
  EXPECT_EQ(shared->GetMovie()->Duration(), source->GetSharedDuration());

  source->SetTrackID(9999);
  EXPECT_EQ(AppErr::kNotFound, source->CreateTrackMovie());
  EXPECT_FALSE(source->GetTrackArbiter());
  EXPECT_TRUE(shared->GetMovie()->Tracks()[1].enabled) << "nothing changed";

  source->SetTrackID(secondId);
  ASSERT_EQ(0, source->CreateTrackMovie());
  KsRef<QTMovieArbiter> first = source->GetTrackArbiter();
  ASSERT_TRUE(first);
  EXPECT_FALSE(shared->GetMovie()->Tracks()[1].enabled);
  hc::playback::MovieTrackInfo own;
  ASSERT_TRUE(first->GetMovie()->FirstVisualTrack(true, &own));
  EXPECT_EQ(secondId, own.trackId);

  KsRef<HcTextureSet> set;
  shared->GetMovie()->SetTime(shared->GetMovie()->TimeScale() * 12 / 25);
  std::shared_ptr<hc::playback::VideoTexture> shown = FrameShown(*source, set);
  ASSERT_TRUE(shown);
  EXPECT_EQ(32, source->GetWidth()) << "the track's own picture";
  EXPECT_EQ(12, FrameIndex(shown->MovieSeconds(), playtest::FactsOf(Fixture::Fps25)));

  ASSERT_EQ(0, source->CreateTrackMovie());
  EXPECT_NE(first, source->GetTrackArbiter()) << "a second build makes a fresh private movie";
  EXPECT_EQ(0, source->SetMovieArb(KsRef<QTMovieArbiter>()));
  EXPECT_EQ(shared, source->GetMovieArb()) << "none keeps the arbiter";
  EXPECT_EQ(0, source->GetSharedDuration());

  auto other = KsMakeRef<QTMovieTrackSource>();
  other->SetTrackID(4242);
  EXPECT_EQ(AppErr::kNotFound, other->SetMovieArb(shared));
  EXPECT_FALSE(other->GetMovieArb()) << "refused before anything changed";
}

}  // namespace
