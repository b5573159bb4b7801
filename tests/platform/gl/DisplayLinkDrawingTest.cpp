#include <gtest/gtest.h>

#include <GL/gl.h>

#include "GlTestSupport.h"
#include "platform/gl/DisplayLink.h"

namespace hc::gl {
namespace {

// The frame step of a player view: on every refresh the link's thread makes
// the view's context current, draws and releases it again, so that the main
// thread can take the same context between refreshes.
TEST(DisplayLinkDrawing, DrawsOnTheLinkThreadWithTheViewsContext) {
  test::CurrentContext view;
  ASSERT_EQ(GlError::None, view.Make());
  std::unique_ptr<GlOffscreenDrawable> drawable;
  ASSERT_EQ(GlError::None, GlOffscreenDrawable::Create(2, 2, &drawable));
  ASSERT_EQ(GlError::None, GlContext::ClearCurrent());

  DisplayLink link(DisplayLink::Timing::Manual);
  int drawn = 0;
  GlError stepResult = GlError::None;
  ASSERT_EQ(GlError::None, link.Start([&](const DisplayTimeStamp& now, const DisplayTimeStamp&) {
    GlError result = view.context->MakeCurrent();
    if (result == GlError::None) result = drawable->Bind();
    if (result == GlError::None) {
      glViewport(0, 0, 2, 2);
      test::ClearTo(static_cast<uint8_t>(now.videoTime / 1000 * 40), 0, 0, 255);
      result = view.context->FlushBuffer();
      ++drawn;
    }
    if (stepResult == GlError::None) stepResult = result;
    GlContext::ClearCurrent();
  }));
  ASSERT_EQ(GlError::None, link.AdvanceManualClock(3 * 16666667));
  ASSERT_EQ(GlError::None, link.Stop());
  ASSERT_EQ(GlError::None, stepResult);
  EXPECT_EQ(3, drawn);

  ASSERT_EQ(GlError::None, view.context->MakeCurrent());
  const auto pixels = test::ReadAll(*drawable, GlReadBack::ByteOrder::ARGB);
  EXPECT_EQ((test::Pixel{255, 120, 0, 0}), test::PixelAt(pixels, 8, 1, 1)) << "the third refresh";
}

}  // namespace
}  // namespace hc::gl
