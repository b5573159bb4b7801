#include <gtest/gtest.h>

#include "PlaybackTestMovies.h"
#include "Projection/CylindricalProj.h"
#include "Projection/PlanarProjection.h"
#include "Renderer/QTVisualContextTextureSet.h"
#include "RendererTestSupport.h"
#include "Source/QTVisualContextSource.h"
#include "Source/SourceErr.h"
#include "platform/playback/Movie.h"
#include "platform/playback/VisualContext.h"

namespace {

class VisualContextSource : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
  void SetUp() override { ASSERT_TRUE(drawing.Make(64, 48)); }
  DrawingRenderer drawing;
};

TEST_F(VisualContextSource, MakesItsContextForAnOpenGLRendererOnly) {
  auto source = KsMakeRef<QTVisualContextSource>();
  EXPECT_EQ(0, source->SetRendererForVisualContext(KsRef<PanoRenderer>()));
  EXPECT_EQ(nullptr, source->GetVisualContextPtr());
  EXPECT_EQ(0, source->SetRendererForVisualContext(drawing.renderer));
  EXPECT_EQ(drawing.renderer, source->GetRendererForVisualContext());
  EXPECT_NE(nullptr, source->GetVisualContextPtr());
  float value = 0;
  EXPECT_EQ(AppErr::kNoImageYet, source->GetDataAtPoint(3, 4, 1, &value));
  EXPECT_EQ(0, source->DoUpdate());
}

TEST_F(VisualContextSource, LearnsItsSizeFromTheFirstFrameAndRebuildsForANewProjection) {
  if (!playtest::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is missing";
  auto source = KsMakeRef<QTVisualContextSource>();
  source->SetRenderer(drawing.renderer);
  source->SetProjection(KsMakeRef<PlanarProjection>());
  source->SetRendererForVisualContext(drawing.renderer);
  std::shared_ptr<hc::playback::VisualContext> context = source->GetVisualContext();
  ASSERT_TRUE(context);

  KsRef<HcTextureSet> set;
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  ASSERT_TRUE(set);
  EXPECT_FALSE(source->GetHasDimensions()) << "no frame yet";

  // Someone else feeds the context.
  auto movie = playtest::OpenMovie(playtest::MoviePath(playtest::Fixture::Fps25));
  ASSERT_TRUE(movie);
  drawing.renderer->SetIsDirty(false);
  ASSERT_EQ(hc::playback::PlaybackErr::Ok, context->SetMovie(movie.get()));
  ASSERT_EQ(hc::playback::PlaybackErr::Ok, context->WaitForImage(nullptr, 5000));
  for (int i = 0; i < 200 && !source->GetHasData(); ++i) {
    source->FinishedDrawCycle();
    set->UpdateForRenderer(drawing.renderer);
    source->TextureSetForRenderer(drawing.renderer, set, 15);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(drawing.renderer->GetIsDirty()) << "the callback raised the flag";
  EXPECT_EQ(64, source->GetWidth());
  EXPECT_EQ(48, source->GetHeight());
  EXPECT_TRUE(source->GetHasData());

  KsRef<HcTextureSet> before = set;
  source->SetProjection(KsMakeRef<CylindricalProj>());
  ASSERT_EQ(0, source->TextureSetForRenderer(drawing.renderer, set, 15));
  EXPECT_NE(before, set) << "a new projection makes a new set";
  EXPECT_EQ(source->GetProjection(), set->GetProjection());
  context->SetMovie(nullptr);
}

TEST_F(VisualContextSource, TextureSetCountsFramesAndDelaysThem) {
  auto set = KsMakeRef<QTVisualContextTextureSet>();
  auto projection = KsMakeRef<PlanarProjection>();
  set->SetProjection(projection);
  const uint64_t seed = projection->GetUpdateSeed().AsStamp();
  EXPECT_EQ(seed + (uint64_t{2} << 32) + 1, set->GetUpdateSeed()) << "counts of 1, and 1 more for the projection";
  EXPECT_EQ(AppErr::kBadArgument, set->SetFrameDelay(31));
  EXPECT_EQ(0, set->SetFrameDelay(5));
  EXPECT_EQ(0, set->SetFrameDelay(2));
  EXPECT_EQ(2u, set->GetFrameDelay());
  KsRef<HcTexture> texture;
  EXPECT_EQ(AppErr::kNoImageYet, set->GetTextureForQuadrant(15, texture));
  EXPECT_TRUE(texture);
  EXPECT_EQ(1u, set->GetTextureCount());
  set->SetProjection(KsMakeRef<CylindricalProj>());
  EXPECT_EQ(3u, static_cast<uint32_t>(set->GetUpdateSeed() >> 32) -
                    set->GetProjection()->GetUpdateSeed().second) << "a new projection raises the upper half";
}

}  // namespace
