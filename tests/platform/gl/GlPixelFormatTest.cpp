#include <gtest/gtest.h>

#include <memory>

#include "platform/gl/GlPixelFormat.h"

namespace hc::gl {
namespace {

struct FormatCase {
  const char* name;
  GlPixelFormat::Attributes attributes;
  GlError expected;
};

TEST(GlPixelFormat, AnswersEachRequest) {
  const FormatCase cases[] = {
      {"window-like, 32-bit colour, 16-bit depth", {true, 32, 0, 16, false}, GlError::None},
      {"off-screen with alpha", {false, 32, 8, 16, true}, GlError::None},
      {"24-bit colour, no depth", {false, 24, 0, 0, true}, GlError::None},
      {"any colour", {false, 0, 0, 24, false}, GlError::None},
      {"16-bit colour is not offered", {false, 16, 0, 16, false}, GlError::NoMatchingFormat},
      {"more alpha than a channel holds", {false, 32, 16, 16, false}, GlError::NoMatchingFormat},
      {"negative colour size", {false, -32, 0, 16, false}, GlError::BadArgument},
      {"negative depth size", {false, 32, 0, -1, false}, GlError::BadArgument},
  };
  for (const FormatCase& c : cases) {
    std::unique_ptr<GlPixelFormat> format;
    EXPECT_EQ(c.expected, GlPixelFormat::Create(c.attributes, &format)) << c.name;
    EXPECT_EQ(c.expected == GlError::None, format != nullptr) << c.name;
  }
}

TEST(GlPixelFormat, ChoosesTheLeastDepthAndAlphaThatSatisfy) {
  std::unique_ptr<GlPixelFormat> format;
  ASSERT_EQ(GlError::None, GlPixelFormat::Create({true, 32, 0, 16, false}, &format));
  EXPECT_EQ(16, format->DepthSize());
  EXPECT_TRUE(format->RequestedAttributes().doubleBuffer);

  ASSERT_EQ(GlError::None, GlPixelFormat::Create({false, 32, 8, 17, true}, &format));
  EXPECT_EQ(8, format->AlphaSize());
  EXPECT_GE(format->DepthSize(), 17);
}

TEST(GlPixelFormat, RefusesANullResult) {
  EXPECT_EQ(GlError::BadArgument, GlPixelFormat::Create({}, nullptr));
}

}  // namespace
}  // namespace hc::gl
