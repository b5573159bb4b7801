#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

// The suites convert text and numbers in the C locale whatever the user's.
TEST(Toolchain, PrintsNumbersInTheCLocale) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  EXPECT_STREQ("1.5", text);
}
