#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "Projection/EquirectangularProj.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "RendererTestSupport.h"
#include "Source/SourceErr.h"
#include "platform/playback/DataReference.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VideoTexture.h"
#include "platform/playback/VisualContext.h"

using hc::playback::Movie;
using hc::playback::PlaybackErr;
using hc::playback::VideoFrameLayout;
using hc::playback::VideoTexture;
using hc::playback::VisualContext;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 160;
constexpr int kWaitMs = 5000;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A one-second 2:1 movie made by ffmpeg (25 fps, key frame every 12 frames).
std::string MakeMovie(const ScratchFolder& folder, const std::string& name, const std::vector<std::string>& extra) {
  const std::string path = folder / (name + ".mov");
  std::vector<std::string> argv = {"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                                   "testsrc2=size=" + std::to_string(kWidth) + "x" + std::to_string(kHeight) +
                                       ":rate=25:duration=1",
                                   "-c:v", "libx264", "-preset", "ultrafast", "-g", "12"};
  argv.insert(argv.end(), extra.begin(), extra.end());
  argv.insert(argv.end(), {"-y", path});
  return RunTool(argv) == 0 ? path : std::string();
}

// ffmpeg's own conversion of the movie's first frame to packed RGB.
std::vector<uint8_t> FfmpegFirstFrameRgb(const ScratchFolder& folder, const std::string& movie) {
  const std::string out = folder / "reference.rgb";
  if (RunTool({"ffmpeg", "-nostdin", "-v", "error", "-i", movie, "-frames:v", "1", "-pix_fmt", "rgb24", "-f",
               "rawvideo", "-y", out}) != 0) {
    return {};
  }
  return ReadFile(out);
}

// A renderer on an off-screen drawable and a visual context playing a movie for it.
class VisualContextSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_drawing.Make(kWidth, kHeight));
    m_set = KsMakeRef<QTVisualContextTextureSet>();
    m_set->SetProjection(KsMakeRef<EquirectangularProj>());
    m_set->SetRenderer(m_drawing.renderer);
  }

  // The context and the movie go while the renderer's context is current.
  void TearDown() override {
    m_set = nullptr;
    m_context.reset();
    m_movie.reset();
  }

  void Play(const std::string& path) {
    ASSERT_FALSE(path.empty());
    hc::playback::DataReference reference;
    hc::playback::DataReference::FromPath(path, &reference);
    ASSERT_EQ(Movie::Open(reference, &m_movie), PlaybackErr::Ok);
    std::unique_ptr<VisualContext> context;
    ASSERT_EQ(VisualContext::Create(m_drawing.context.get(), {}, &context), PlaybackErr::Ok);
    m_context = std::move(context);
    ASSERT_EQ(m_context->SetMovie(m_movie.get()), PlaybackErr::Ok);
    m_set->SetVisualContext(m_context);
  }

  void ShowFrame(int frame) {
    m_movie->SetTime(int64_t{frame} * m_movie->TimeScale() / 25);
    ASSERT_EQ(m_context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);
  }

  double ShownSeconds() {
    std::shared_ptr<VideoTexture> frame = m_set->GetTexture()->GetVideoTexture();
    return frame ? frame->MovieSeconds() : -1.0;
  }

  ScratchFolder m_folder;
  DrawingRenderer m_drawing;
  KsRef<QTVisualContextTextureSet> m_set;
  std::unique_ptr<Movie> m_movie;
  std::shared_ptr<VisualContext> m_context;
};

struct FrameCase {
  const char* name;
  std::vector<std::string> encoding;
  VideoFrameLayout layout;
};

class DrawnMovieFrames : public VisualContextSetTest, public ::testing::WithParamInterface<FrameCase> {};

// A frame drawn through the set's texture onto the drawable, corner to
// corner, is ffmpeg's own RGB of that frame: the planes' matrix, range,
// chroma subsampling and channel order all as ffmpeg reads the file.
TEST_P(DrawnMovieFrames, MatchFfmpegsConversion) {
  const FrameCase& c = GetParam();
  const std::string path = MakeMovie(m_folder, c.name, c.encoding);
  const std::vector<uint8_t> reference = FfmpegFirstFrameRgb(m_folder, path);
  ASSERT_EQ(reference.size(), static_cast<size_t>(kWidth) * kHeight * 3);
  Play(path);
  ASSERT_EQ(m_context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);

  ASSERT_EQ(0, m_drawing.renderer->BeginUpdate());
  ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));
  KsRef<HcTexture> texture;
  ASSERT_EQ(0, m_set->GetTextureForQuadrant(15, texture));
  ASSERT_EQ(0, DrawTextureFlat(*m_drawing.renderer, *texture, kWidth, kHeight));
  ASSERT_EQ(0, m_drawing.renderer->EndUpdate());
  const std::vector<uint8_t> drawn = m_drawing.ReadARGB();

  std::shared_ptr<VideoTexture> frame = m_set->GetTexture()->GetVideoTexture();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->Layout(), c.layout);
  EXPECT_EQ(m_context->GetStatistics().framesConverted, 0u);
  // Every plane repeats its own edge texels past its edges.
  for (int i = 0; i < frame->PlaneCount(); ++i) {
    glBindTexture(GL_TEXTURE_RECTANGLE, frame->PlaneAt(i).name);
    GLint wrapS = 0;
    GLint wrapT = 0;
    glGetTexParameteriv(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE) << "plane " << i;
    EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE) << "plane " << i;
  }
  glBindTexture(GL_TEXTURE_RECTANGLE, 0);

  for (int channel = 0; channel < 3; ++channel) {
    const float difference = ChannelMeanAbsDifference(BlurredChannel(drawn, kWidth, kHeight, 4, channel + 1),
                                                      BlurredChannel(reference, kWidth, kHeight, 3, channel));
    EXPECT_LE(difference, 2.0f) << "channel " << channel;
  }
  const float swapped = ChannelMeanAbsDifference(BlurredChannel(drawn, kWidth, kHeight, 4, 1),
                                                 BlurredChannel(reference, kWidth, kHeight, 3, 2));
  EXPECT_GT(swapped, 10.0f) << "red and blue look alike";
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, DrawnMovieFrames,
    ::testing::Values(
        FrameCase{"yuv420p_bt709",
                  {"-pix_fmt", "yuv420p", "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709"},
                  VideoFrameLayout::Planar},
        FrameCase{"yuv422p_untagged", {"-pix_fmt", "yuv422p"}, VideoFrameLayout::Planar},
        FrameCase{"yuv420p_bt601", {"-pix_fmt", "yuv420p", "-colorspace", "smpte170m"}, VideoFrameLayout::Planar},
        FrameCase{"yuvj420p_full_range", {"-pix_fmt", "yuvj420p"}, VideoFrameLayout::Planar},
        FrameCase{"yuv444p_untagged", {"-pix_fmt", "yuv444p"}, VideoFrameLayout::Planar}),
    [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

TEST_F(VisualContextSetTest, SeedCountsProjectionChangesAndFrames) {
  // A new set: the counts start at 1 and 1 over the seed of no projection (1, 1).
  EXPECT_EQ(KsMakeRef<QTVisualContextTextureSet>()->GetUpdateSeed(), (uint64_t{2} << 32) + 2);
  Play(MakeMovie(m_folder, "seed", {"-pix_fmt", "yuv420p"}));
  // This one was given its projection once.
  const uint64_t projectionSeed = m_set->GetProjection()->GetUpdateSeed().AsStamp();
  EXPECT_EQ(m_set->GetUpdateSeed(), projectionSeed + (uint64_t{2} << 32) + 1);
  KsRef<HcTexture> texture;
  EXPECT_EQ(m_set->GetTextureForQuadrant(0, texture), AppErr::kNoImageYet);
  EXPECT_EQ(texture.Get(), m_set->GetTexture().Get());
  EXPECT_EQ(m_set->GetTextureByIndex(7).Get(), m_set->GetTexture().Get());

  const uint64_t before = m_set->GetUpdateSeed();
  m_set->SetProjection(m_set->GetProjection());  // the same one: nothing changes
  EXPECT_EQ(m_set->GetUpdateSeed(), before);
  m_set->SetProjection(KsMakeRef<EquirectangularProj>());
  EXPECT_EQ(m_set->GetUpdateSeed() - before, uint64_t{1} << 32);

  ShowFrame(0);
  uint64_t seed = m_set->GetUpdateSeed();
  ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));  // the first frame counts as a change
  EXPECT_EQ(m_set->GetUpdateSeed() - seed, uint64_t{1} << 32);
  EXPECT_EQ(m_set->GetTextureForQuadrant(8, texture), 0);
  KsPointF corner;
  ASSERT_EQ(0, texture->GetFullCoordRange(&corner));
  EXPECT_EQ(corner.x, static_cast<float>(kWidth));
  EXPECT_EQ(corner.y, static_cast<float>(kHeight));
  KsPointF bottomRight;
  ASSERT_EQ(0, texture->ImagePointToTexture({1.0f, 1.0f}, &bottomRight));
  EXPECT_EQ(bottomRight.x, static_cast<float>(kWidth));
  EXPECT_EQ(bottomRight.y, static_cast<float>(kHeight));

  ShowFrame(10);
  seed = m_set->GetUpdateSeed();
  ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));  // a later frame
  EXPECT_EQ(m_set->GetUpdateSeed() - seed, 1u);
  EXPECT_NEAR(ShownSeconds(), 0.4, 1e-6);
}

// A refresh with nothing new leaves the frame as it is without touching
// OpenGL: it works with no OpenGL context current at all.
TEST_F(VisualContextSetTest, RefreshWithoutANewFrameDoesNoOpenGLWork) {
  Play(MakeMovie(m_folder, "idle", {"-pix_fmt", "yuv420p"}));
  ShowFrame(3);
  ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));
  const std::shared_ptr<VideoTexture> shown = m_set->GetTexture()->GetVideoTexture();
  ASSERT_TRUE(shown);
  const uint64_t uploads = m_context->GetStatistics().framesShown;
  const uint64_t seed = m_set->GetUpdateSeed();
  hc::gl::GlContext::ClearCurrent();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));
  ASSERT_EQ(m_drawing.context->MakeCurrent(), hc::gl::GlError::None);
  EXPECT_EQ(m_set->GetTexture()->GetVideoTexture(), shown);
  EXPECT_EQ(m_context->GetStatistics().framesShown, uploads);
  EXPECT_EQ(m_set->GetUpdateSeed(), seed);
}

// The renderer's next output time picks the frame; without one (or without a
// platform renderer) the frame due now is taken.
TEST_F(VisualContextSetTest, FramesAreTakenForTheDisplaysNextOutputTime) {
  Play(MakeMovie(m_folder, "stamp", {"-pix_fmt", "yuv420p"}));
  // A still host clock, captured by value: the movie's decode thread may
  // still read it after the test's body has returned.
  constexpr uint64_t host = 1000;
  m_movie->GetTimeBase()->SetHostClock([] { return host; });
  m_movie->SetRate(1.0);
  ASSERT_EQ(m_context->WaitForImage(nullptr, kWaitMs), PlaybackErr::Ok);
  ASSERT_EQ(0, m_set->UpdateForRenderer(KsRef<PanoRenderer>()));
  EXPECT_NEAR(ShownSeconds(), 0.0, 1e-6);

  hc::gl::DisplayTimeStamp stamp{};
  stamp.version = hc::gl::DisplayTimeStamp::kCurrentVersion;
  stamp.videoTimeScale = 1000000000;
  stamp.hostTime = host + 400000000;  // 0.4 s on
  stamp.flags = hc::gl::DisplayTimeStamp::kHostTimeValid;
  ASSERT_EQ(m_context->WaitForImage(&stamp, kWaitMs), PlaybackErr::Ok);
  m_drawing.renderer->SetDisplayLinkNextOutputTime(stamp);
  ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));
  EXPECT_NEAR(ShownSeconds(), 0.4, 1e-6);
}

TEST_F(VisualContextSetTest, FrameDelayHoldsFramesBackByRefreshes) {
  Play(MakeMovie(m_folder, "delay", {"-pix_fmt", "yuv420p"}));
  ASSERT_EQ(0, m_set->SetFrameDelay(3));
  ShowFrame(5);
  KsRef<HcTexture> texture;
  for (int refresh = 1; refresh <= 3; ++refresh) {
    ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));
    EXPECT_EQ(m_set->GetTextureForQuadrant(15, texture), AppErr::kNoImageYet) << refresh;
  }
  ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));  // the fourth shows the first refresh's frame
  EXPECT_EQ(m_set->GetTextureForQuadrant(15, texture), 0);
  EXPECT_NEAR(ShownSeconds(), 0.2, 1e-6);

  // A frame held back, then a new delay: the queue is emptied and it never shows.
  ASSERT_EQ(0, m_set->SetFrameDelay(5));
  ShowFrame(15);
  ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));
  ASSERT_EQ(0, m_set->SetFrameDelay(2));
  for (int refresh = 0; refresh < 4; ++refresh) ASSERT_EQ(0, m_set->UpdateForRenderer(m_drawing.renderer));
  EXPECT_NEAR(ShownSeconds(), 0.2, 1e-6);
  EXPECT_EQ(m_set->SetFrameDelay(31), AppErr::kBadArgument);
  EXPECT_EQ(m_set->GetFrameDelay(), 2u);
}

TEST_F(VisualContextSetTest, PointerPropertiesTakeOnlySharedObjects) {
  Play(MakeMovie(m_folder, "pointers", {"-pix_fmt", "yuv420p"}));
  EXPECT_EQ(m_set->GetVisualContext(), m_context.get());
  EXPECT_EQ(0, m_set->SetVisualContextPointer(nullptr));
  EXPECT_FALSE(m_set->GetSharedVisualContext());
  EXPECT_EQ(0, m_set->SetVisualContextPointer(m_context.get()));
  EXPECT_EQ(m_set->GetSharedVisualContext(), m_context);
  std::unique_ptr<VisualContext> unshared;
  ASSERT_EQ(VisualContext::Create(m_drawing.context.get(), {}, &unshared), PlaybackErr::Ok);
  EXPECT_EQ(m_set->SetVisualContextPointer(unshared.get()), AppErr::kBadArgument);
  EXPECT_EQ(m_set->GetSharedVisualContext(), m_context);

  auto texture = KsMakeRef<QTVisualContextTexture>();
  EXPECT_EQ(texture->GetProjectionTile().QuadrantMask, 15u);
  EXPECT_EQ(texture->UpdateTexCoords(), AppErr::kNotReady);
  KsPointF out{5.0f, 5.0f};
  EXPECT_EQ(0, texture->ImagePointToTexture({0.5f, 0.5f}, &out));  // no frame: the origin
  EXPECT_EQ(out.x, 0.0f);
  EXPECT_EQ(out.y, 0.0f);
}

}  // namespace
