#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include "GlTestSupport.h"
#include "platform/gl/GlOffscreenDrawable.h"
#include "platform/gl/GlReadBack.h"

namespace hc::gl {
namespace {

using test::Pixel;
using test::PixelAt;
using Order = GlReadBack::ByteOrder;

class GlOffscreenDrawableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GlError::None, current_.Make()); }

  std::unique_ptr<GlOffscreenDrawable> MakeDrawable(int width, int height) {
    std::unique_ptr<GlOffscreenDrawable> drawable;
    EXPECT_EQ(GlError::None, GlOffscreenDrawable::Create(width, height, &drawable));
    if (drawable) {
      EXPECT_EQ(GlError::None, drawable->Bind());
      glViewport(0, 0, width, height);
    }
    return drawable;
  }

  test::CurrentContext current_;
};

// A triangle over the lower-left half of an 8 x 8 drawable cleared to another
// colour; each channel has its own byte so that a swapped order shows.
TEST_F(GlOffscreenDrawableTest, ReadsATriangleBackInBothByteOrders) {
  auto drawable = MakeDrawable(8, 8);
  ASSERT_TRUE(drawable);
  test::ClearTo(0xA0, 0xB0, 0xC0, 0xD0);
  glColor4ub(0x11, 0x22, 0x33, 0x44);
  glBegin(GL_TRIANGLES);
  glVertex2f(-1, -1);
  glVertex2f(1, -1);
  glVertex2f(-1, 1);
  glEnd();

  struct Expectation {
    Order order;
    Pixel triangle;
    Pixel background;
  };
  const Expectation expectations[] = {
      {Order::ARGB, {0x44, 0x11, 0x22, 0x33}, {0xD0, 0xA0, 0xB0, 0xC0}},
      {Order::BGRA, {0x33, 0x22, 0x11, 0x44}, {0xC0, 0xB0, 0xA0, 0xD0}},
  };
  for (const Expectation& e : expectations) {
    GlError result = GlError::DriverError;
    const auto pixels = test::ReadAll(*drawable, e.order, &result);
    ASSERT_EQ(GlError::None, result);
    // Top row first: the bottom-left pixel is in the last row.
    EXPECT_EQ(e.triangle, PixelAt(pixels, 32, 0, 7));
    EXPECT_EQ(e.triangle, PixelAt(pixels, 32, 1, 5));
    EXPECT_EQ(e.background, PixelAt(pixels, 32, 7, 0));
    EXPECT_EQ(e.background, PixelAt(pixels, 32, 6, 2));
  }
}

TEST_F(GlOffscreenDrawableTest, ReadsATexturedQuadTopRowFirst) {
  auto drawable = MakeDrawable(4, 4);
  ASSERT_TRUE(drawable);
  const Pixel bottomLeft{0x10, 0x20, 0x30, 0xFF}, bottomRight{0x40, 0x50, 0x60, 0xFF};
  const Pixel topLeft{0x70, 0x80, 0x90, 0xFF}, topRight{0xA0, 0xB0, 0xC0, 0x80};
  const GLuint texture = test::MakeTexture({bottomLeft, bottomRight, topLeft, topRight});
  test::ClearTo(0, 0, 0, 0);
  test::DrawTexturedQuad();

  const auto argb = test::ReadAll(*drawable, Order::ARGB);
  auto asArgb = [](Pixel rgba) { return Pixel{rgba[3], rgba[0], rgba[1], rgba[2]}; };
  EXPECT_EQ(asArgb(topLeft), PixelAt(argb, 16, 0, 0));
  EXPECT_EQ(asArgb(topRight), PixelAt(argb, 16, 3, 1));
  EXPECT_EQ(asArgb(bottomLeft), PixelAt(argb, 16, 1, 2));
  EXPECT_EQ(asArgb(bottomRight), PixelAt(argb, 16, 2, 3));

  const auto bgra = test::ReadAll(*drawable, Order::BGRA);
  auto asBgra = [](Pixel rgba) { return Pixel{rgba[2], rgba[1], rgba[0], rgba[3]}; };
  EXPECT_EQ(asBgra(topRight), PixelAt(bgra, 16, 2, 0));
  EXPECT_EQ(asBgra(bottomLeft), PixelAt(bgra, 16, 0, 3));
  glDeleteTextures(1, &texture);
}

// Rows further apart than a row of pixels, also by a number of bytes that is
// not a whole pixel: the gap between rows stays as the caller left it.
TEST_F(GlOffscreenDrawableTest, KeepsTheBytesBetweenRows) {
  auto drawable = MakeDrawable(3, 2);
  ASSERT_TRUE(drawable);
  test::ClearTo(1, 2, 3, 4);
  for (size_t gap : {size_t{8}, size_t{3}}) {
    const size_t rowBytes = 12 + gap;
    std::vector<uint8_t> buffer(rowBytes + 12, 0xEE);
    ASSERT_EQ(GlError::None, drawable->ReadPixels(Order::BGRA, buffer.data(), buffer.size(), rowBytes));
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) EXPECT_EQ((Pixel{3, 2, 1, 4}), PixelAt(buffer, rowBytes, x, y));
    }
    for (size_t i = 12; i < rowBytes; ++i) EXPECT_EQ(0xEE, buffer[i]) << "gap " << gap;
  }
}

TEST_F(GlOffscreenDrawableTest, ChecksTheRowLengthAgainstTheBuffer) {
  auto drawable = MakeDrawable(4, 3);
  ASSERT_TRUE(drawable);
  test::ClearTo(9, 9, 9, 9);
  struct Case {
    const char* name;
    size_t bufferSize;
    size_t rowBytes;
    GlError expected;
  };
  const Case cases[] = {
      {"exact fit", 48, 16, GlError::None},
      {"last row needs no padding", 2 * 20 + 16, 20, GlError::None},
      {"row shorter than a row of pixels", 64, 15, GlError::BadArgument},
      {"one byte short", 47, 16, GlError::BufferTooSmall},
      {"padding pushes the last row out", 2 * 20 + 15, 20, GlError::BufferTooSmall},
      {"row length that overflows", 64, SIZE_MAX / 2, GlError::BufferTooSmall},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> buffer(c.bufferSize + 1, 0xEE);
    EXPECT_EQ(c.expected, drawable->ReadPixels(Order::ARGB, buffer.data(), c.bufferSize, c.rowBytes))
        << c.name;
    if (c.expected != GlError::None) {
      EXPECT_EQ(std::vector<uint8_t>(buffer.size(), 0xEE), buffer) << c.name << " touched the buffer";
    } else {
      EXPECT_EQ(0xEE, buffer[c.bufferSize]) << c.name << " wrote past the end";
    }
  }
  EXPECT_EQ(GlError::BadArgument, drawable->ReadPixels(Order::ARGB, nullptr, 48, 16));
}

TEST_F(GlOffscreenDrawableTest, LeavesTheCallersPackStateAlone) {
  auto drawable = MakeDrawable(2, 2);
  ASSERT_TRUE(drawable);
  test::ClearTo(5, 6, 7, 8);
  GLuint packBuffer = 0;
  glGenBuffers(1, &packBuffer);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
  glBufferData(GL_PIXEL_PACK_BUFFER, 64, nullptr, GL_STREAM_READ);
  glPixelStorei(GL_PACK_ROW_LENGTH, 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 8);
  glPixelStorei(GL_PACK_SKIP_ROWS, 1);

  const auto pixels = test::ReadAll(*drawable, Order::BGRA);
  EXPECT_EQ((Pixel{7, 6, 5, 8}), PixelAt(pixels, 8, 1, 1));

  GLint value = 0;
  glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &value);
  EXPECT_EQ(static_cast<GLint>(packBuffer), value);
  glGetIntegerv(GL_PACK_ROW_LENGTH, &value);
  EXPECT_EQ(3, value);
  glGetIntegerv(GL_PACK_ALIGNMENT, &value);
  EXPECT_EQ(8, value);
  glGetIntegerv(GL_PACK_SKIP_ROWS, &value);
  EXPECT_EQ(1, value);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  glDeleteBuffers(1, &packBuffer);
  EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}

TEST_F(GlOffscreenDrawableTest, ResizesAndRefusesBadSizes) {
  auto drawable = MakeDrawable(4, 4);
  ASSERT_TRUE(drawable);
  ASSERT_EQ(GlError::None, drawable->Resize(3, 5));
  EXPECT_EQ(3, drawable->Width());
  EXPECT_EQ(5, drawable->Height());
  glViewport(0, 0, 3, 5);
  test::ClearTo(1, 1, 1, 1);
  GlError result = GlError::DriverError;
  test::ReadAll(*drawable, Order::ARGB, &result);
  EXPECT_EQ(GlError::None, result);

  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  for (auto [w, h] : {std::pair{0, 4}, std::pair{4, -1}, std::pair{largest + 1, 1}}) {
    std::unique_ptr<GlOffscreenDrawable> other;
    EXPECT_EQ(GlError::BadArgument, GlOffscreenDrawable::Create(w, h, &other)) << w << " x " << h;
    EXPECT_EQ(GlError::BadArgument, drawable->Resize(w, h)) << w << " x " << h;
  }
  EXPECT_EQ(3, drawable->Width());
}

TEST_F(GlOffscreenDrawableTest, NeedsItsOwnContextCurrent) {
  auto drawable = MakeDrawable(2, 2);
  ASSERT_TRUE(drawable);
  test::CurrentContext other;
  ASSERT_EQ(GlError::None, other.Make());
  std::vector<uint8_t> buffer(16);
  EXPECT_EQ(GlError::NoCurrentContext, drawable->ReadPixels(Order::ARGB, buffer.data(), 16, 8));
  EXPECT_EQ(GlError::NoCurrentContext, drawable->Bind());

  ASSERT_EQ(GlError::None, GlContext::ClearCurrent());
  std::unique_ptr<GlOffscreenDrawable> none;
  EXPECT_EQ(GlError::NoCurrentContext, GlOffscreenDrawable::Create(2, 2, &none));
  EXPECT_EQ(GlError::NoCurrentContext,
            GlReadBack::ReadFramebuffer(2, 2, Order::ARGB, buffer.data(), 16, 8));
  ASSERT_EQ(GlError::None, current_.context->MakeCurrent());
}

}  // namespace
}  // namespace hc::gl
