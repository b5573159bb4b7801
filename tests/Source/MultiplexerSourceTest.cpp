#include <gtest/gtest.h>

#include "Projection/CylindricalProj.h"
#include "RegisterAllClasses.h"
#include "Renderer/AppleOpenGLRenderer.h"
#include "Renderer/HcTextureSet.h"
#include "Source/BufferSource.h"
#include "Source/MultiplexerSource.h"
#include "Source/SourceErr.h"

namespace {

KsRef<BufferSource> MemberWithData(int32_t width, int32_t height) {
  auto member = KsMakeRef<BufferSource>();
  member->SetPixelFormat(32);
  EXPECT_EQ(0, member->CreateBuffer(width, height));
  member->SetDimensions(width, height);
  member->FrameReady();
  return member;
}

// One frame begun and ended: the renderer's update cycle moves on.
void NextUpdateCycle(PanoRenderer& renderer) {
  renderer.AcquireDrawLock();
  renderer.PanoRenderer::BeginUpdate();
  renderer.PanoRenderer::EndUpdate();
  renderer.ReleaseDrawLock();
}

class Multiplexer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllClasses(); }
  KsRef<MultiplexerSource> mux = KsMakeRef<MultiplexerSource>();
};

TEST_F(Multiplexer, TheLastMemberWithDataIsActiveUntilTheNextUpdateCycle) {
  auto renderer = KsMakeRef<AppleOpenGLRenderer>();
  mux->SetRenderer(renderer);
  KsRef<BufferSource> first = MemberWithData(40, 20);
  KsRef<BufferSource> second = MemberWithData(30, 10);
  second->SetProjection(KsMakeRef<CylindricalProj>());
  auto list = KsMakeRef<SourceCollection>();
  list->Add(first);
  list->Add(second);
  ASSERT_EQ(0, mux->SetSourceList(list));
  EXPECT_EQ(renderer, first->GetRenderer()) << "members set after the renderer still get it";
  EXPECT_EQ(renderer, second->GetRenderer());

  EXPECT_EQ(second, mux->GetActiveSource());
  EXPECT_EQ(30, mux->GetWidth());
  EXPECT_EQ(second->GetProjection(), mux->GetProjection());
  EXPECT_FLOAT_EQ(3.0f, mux->GetImageAspect());

  second->SetDimensions(0, 0);  // loses its data
  EXPECT_EQ(second, mux->GetActiveSource()) << "the choice holds within an update cycle";
  NextUpdateCycle(*renderer);
  EXPECT_EQ(first, mux->GetActiveSource());
  EXPECT_EQ(40, mux->GetWidth());

  // After the renderer goes, cycles of another renderer count instead.
  auto other = KsMakeRef<AppleOpenGLRenderer>();
  mux->SetRenderer(other);
  second->SetDimensions(30, 10);
  NextUpdateCycle(*renderer);
  EXPECT_EQ(first, mux->GetActiveSource()) << "the old renderer is no longer observed";
  NextUpdateCycle(*other);
  EXPECT_EQ(second, mux->GetActiveSource());
}

TEST_F(Multiplexer, WithoutAMemberWithDataForwardingAnswersDefaults) {
  auto list = KsMakeRef<SourceCollection>();
  list->Add(KsMakeRef<BufferSource>());
  mux->SetSourceList(list);
  EXPECT_FALSE(mux->GetActiveSource());
  KsRef<HcTextureSet> set;
  EXPECT_EQ(MultiplexerSource::kNothingDrawnYet, mux->TextureSetForRenderer(KsRef<PanoRenderer>(), set, 15));
  EXPECT_EQ(MultiplexerSource::kNothingDrawnYet, mux->DoUpdate());
  float value = 0;
  EXPECT_EQ(AppErr::kNoImageYet, mux->GetDataAtPoint(0, 0, 1, &value));
  EXPECT_FLOAT_EQ(1.0f, mux->GetImageAspect());
  EXPECT_EQ(0, mux->GetWidth());
  EXPECT_EQ(0, mux->GetHeight());
  EXPECT_TRUE(mux->GetMapFullFrame());
  EXPECT_FALSE(mux->GetHasData());
  EXPECT_FALSE(mux->GetProjection());
  EXPECT_FALSE(mux->GetClock());
  EXPECT_FLOAT_EQ(1.0f, mux->GetPixelAspectRatio());
  EXPECT_EQ(0, mux->FinishedDrawCycle());
  EXPECT_EQ(0u, mux->GetChoiceCount());
}

TEST_F(Multiplexer, SetActiveSourcePinsAOneMemberList) {
  KsRef<BufferSource> a = MemberWithData(8, 8);
  KsRef<BufferSource> b = MemberWithData(16, 8);
  auto list = KsMakeRef<SourceCollection>();
  list->Add(a);
  list->Add(b);
  mux->SetSourceList(list);
  ASSERT_EQ(0, mux->SetActiveSource(a));
  EXPECT_EQ(a, mux->GetActiveSource());
  ASSERT_TRUE(mux->GetSourceList());
  EXPECT_EQ(1u, mux->GetSourceList()->GetCount());
  EXPECT_EQ(a, mux->GetSourceList()->GetByIndex(0));
}

}  // namespace
