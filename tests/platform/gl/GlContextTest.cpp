#include <gtest/gtest.h>

#include <GL/gl.h>

#include <latch>
#include <thread>

#include "GlTestSupport.h"
#include "platform/gl/GlContext.h"
#include "platform/gl/GlOffscreenDrawable.h"

namespace hc::gl {
namespace {

using test::Pixel;
using Order = GlReadBack::ByteOrder;

GlContext* CurrentOnAnotherThread() {
  GlContext* seen = reinterpret_cast<GlContext*>(1);
  std::thread([&] { seen = GlContext::Current(); }).join();
  return seen;
}

TEST(GlContext, IsCurrentOnlyOnTheThreadThatMadeItSo) {
  test::CurrentContext current;
  ASSERT_EQ(GlError::None, current.Make());
  EXPECT_EQ(current.context.get(), GlContext::Current());
  EXPECT_EQ(nullptr, CurrentOnAnotherThread());

  GlError elsewhere = GlError::None;
  std::thread([&] { elsewhere = current.context->MakeCurrent(); }).join();
  EXPECT_EQ(GlError::MakeCurrentFailed, elsewhere);

  EXPECT_EQ(GlError::None, GlContext::ClearCurrent());
  EXPECT_EQ(nullptr, GlContext::Current());
  EXPECT_EQ(GlError::None, GlContext::ClearCurrent()) << "clearing twice is harmless";

  std::thread([&] { elsewhere = current.context->MakeCurrent(); GlContext::ClearCurrent(); }).join();
  EXPECT_EQ(GlError::None, elsewhere) << "free once released here";
}

TEST(GlContext, DestroyingTheCurrentContextLeavesNoneCurrent) {
  test::CurrentContext current;
  ASSERT_EQ(GlError::None, current.Make());
  current.context.reset();
  EXPECT_EQ(nullptr, GlContext::Current());
  EXPECT_EQ(nullptr, glGetString(GL_VERSION)) << "EGL still has the context current";
}

TEST(GlContext, OffersTheCompatibilityProfile) {
  test::CurrentContext current;
  ASSERT_EQ(GlError::None, current.Make());
  GLint mask = 0;
  glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
  EXPECT_NE(0, mask & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT);
}

TEST(GlContext, KeepsTheSwapInterval) {
  test::CurrentContext current;
  ASSERT_EQ(GlError::None, current.Make());
  GlContext& context = *current.context;
  EXPECT_EQ(0, context.SwapInterval());
  EXPECT_EQ(GlError::None, context.SetSwapInterval(1));
  EXPECT_EQ(1, context.SwapInterval());
  EXPECT_EQ(GlError::BadArgument, context.SetSwapInterval(-1));
  EXPECT_EQ(1, context.SwapInterval());
  GlContext::ClearCurrent();
  EXPECT_EQ(GlError::None, context.SetSwapInterval(2)) << "no need to be current";
  EXPECT_EQ(2, context.SwapInterval());
}

TEST(GlContext, FlushesOnlyWhenCurrent) {
  test::CurrentContext current;
  ASSERT_EQ(GlError::None, current.Make());
  EXPECT_EQ(GlError::None, current.context->FlushBuffer());
  GlContext::ClearCurrent();
  EXPECT_EQ(GlError::NoCurrentContext, current.context->FlushBuffer());
}

TEST(GlContext, RefusesANullResult) {
  test::CurrentContext current;
  ASSERT_EQ(GlError::None, current.Make());
  EXPECT_EQ(GlError::BadArgument, GlContext::Create(*current.format, nullptr, nullptr));
}

// Each thread clears its own drawable to its own colour while both contexts are
// current at once, then reads it back after the other thread has drawn too.
TEST(GlContext, TwoThreadsDrawIndependently) {
  std::latch bothDrew(2);
  auto drawAndRead = [&](uint8_t red, Pixel* seen, GlError* result) {
    test::CurrentContext current;
    if ((*result = current.Make()) != GlError::None) {
      bothDrew.count_down();
      return;
    }
    std::unique_ptr<GlOffscreenDrawable> drawable;
    *result = GlOffscreenDrawable::Create(4, 4, &drawable);
    if (*result == GlError::None) {
      drawable->Bind();
      glViewport(0, 0, 4, 4);
      test::ClearTo(red, 0x40, 0x80, 0xFF);
      glFinish();
    }
    bothDrew.arrive_and_wait();
    if (*result != GlError::None) return;
    const auto pixels = test::ReadAll(*drawable, Order::BGRA, result);
    *seen = test::PixelAt(pixels, 16, 3, 3);
  };
  Pixel first{}, second{};
  GlError firstResult = GlError::DriverError, secondResult = GlError::DriverError;
  std::thread a(drawAndRead, uint8_t{0x10}, &first, &firstResult);
  std::thread b(drawAndRead, uint8_t{0xF0}, &second, &secondResult);
  a.join();
  b.join();
  ASSERT_EQ(GlError::None, firstResult);
  ASSERT_EQ(GlError::None, secondResult);
  EXPECT_EQ((Pixel{0x80, 0x40, 0x10, 0xFF}), first);
  EXPECT_EQ((Pixel{0x80, 0x40, 0xF0, 0xFF}), second);
}

// A texture uploaded in one context is drawn on another thread by a context
// that shares with it; a context that does not share knows no such texture.
TEST(GlContext, ASharingContextSeesTheOthersTexture) {
  test::CurrentContext owner;
  ASSERT_EQ(GlError::None, owner.Make());
  const Pixel texel{0x12, 0x34, 0x56, 0xFF};
  const GLuint texture = test::MakeTexture({texel, texel, texel, texel});
  glFinish();
  GlContext::ClearCurrent();

  Pixel drawn{};
  GlError result = GlError::DriverError;
  std::thread([&] {
    test::CurrentContext sharing;
    if ((result = sharing.Make(owner.context.get())) != GlError::None) return;
    std::unique_ptr<GlOffscreenDrawable> drawable;
    if ((result = GlOffscreenDrawable::Create(2, 2, &drawable)) != GlError::None) return;
    drawable->Bind();
    glViewport(0, 0, 2, 2);
    test::ClearTo(0, 0, 0, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    test::DrawTexturedQuad();
    drawn = test::PixelAt(test::ReadAll(*drawable, Order::ARGB, &result), 8, 0, 0);
  }).join();
  ASSERT_EQ(GlError::None, result);
  EXPECT_EQ((Pixel{0xFF, 0x12, 0x34, 0x56}), drawn);

  test::CurrentContext stranger;
  ASSERT_EQ(GlError::None, stranger.Make());
  EXPECT_EQ(GL_FALSE, glIsTexture(texture));
}

TEST(GlContext, WindowSystemContextIsCurrentThroughItsOwnCalls) {
  int made = 0;
  int released = 0;
  int presented = 0;
  bool refuse = false;
  GlContext::ExternalCalls calls{[&] { ++made; return !refuse; }, [&] { ++released; }, [&] { ++presented; }};
  std::unique_ptr<GlContext> window;
  ASSERT_EQ(GlError::BadArgument, GlContext::CreateExternal({}, &window));
  ASSERT_EQ(GlError::None, GlContext::CreateExternal(calls, &window));

  EXPECT_EQ(GlError::NoCurrentContext, window->FlushBuffer());
  ASSERT_EQ(GlError::None, window->MakeCurrent());
  ASSERT_EQ(GlError::None, window->MakeCurrent()) << "already current: no second call";
  EXPECT_EQ(1, made);
  EXPECT_EQ(window.get(), GlContext::Current());
  EXPECT_EQ(nullptr, CurrentOnAnotherThread());
  EXPECT_EQ(GlError::None, window->FlushBuffer());
  EXPECT_EQ(1, presented);

  // Making a context of this layer current releases the window's first.
  test::CurrentContext headless;
  ASSERT_EQ(GlError::None, headless.Make());
  EXPECT_EQ(1, released);
  EXPECT_EQ(headless.context.get(), GlContext::Current());
  ASSERT_EQ(GlError::None, window->MakeCurrent());
  EXPECT_EQ(window.get(), GlContext::Current());
  EXPECT_EQ(GlError::None, GlContext::ClearCurrent());
  EXPECT_EQ(2, released);
  EXPECT_EQ(nullptr, GlContext::Current());

  refuse = true;
  EXPECT_EQ(GlError::MakeCurrentFailed, window->MakeCurrent());
  EXPECT_EQ(nullptr, GlContext::Current());
  refuse = false;
  ASSERT_EQ(GlError::None, window->MakeCurrent());
  window.reset();
  EXPECT_EQ(3, released) << "a dying current context is released first";
  EXPECT_EQ(nullptr, GlContext::Current());
}

}  // namespace
}  // namespace hc::gl
