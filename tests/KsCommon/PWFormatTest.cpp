#include "PWFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

#include "DecimalCommaLocale.h"

namespace {

template <class... Args>
std::string Format(std::string_view format, const Args&... args) {
  return PWStringCreateWithFormat(format, args...).Str();
}

TEST(PWFormat, Directives) {
  const PWStringRef name("PanAngle");
  const PWStringRef null;
  const std::string text = "std";
  int value = 0;
  const struct {
    std::string actual;
    std::string expected;
  } cases[] = {
      {Format("%@ = %f", name, 1.5), "PanAngle = 1.500000"},
      {Format("C_%@", null), "C_(null)"},
      {Format("%s|%s|%s", "c", text, name), "c|std|PanAngle"},
      {Format("%s", static_cast<const char*>(nullptr)), "(null)"},
      {Format("%s(%u) : ", "KsObject.cpp", 238u), "KsObject.cpp(238) : "},
      {Format("%i %d %u", -2, 7L, 4000000000u), "-2 7 4000000000"},
      {Format("%lld %llu %zu", -9000000000LL, 18000000000000000000ULL, size_t{3}),
       "-9000000000 18000000000000000000 3"},
      {Format("%x %X %08x %#x %o", 255, 255, 255, 255, 8), "ff FF 000000ff 0xff 10"},
      {Format("%x %hhx %llx", -1, -1, -1LL), "ffffffff ff ffffffffffffffff"},
      {Format("%5d|%-5d|%+d|%05d", 42, 42, 42, -42), "   42|42   |+42|-0042"},
      {Format("%.2f %8.3f %e %g %g", 3.14159, -2.5, 1234.5, 0.0001, 1e20),
       "3.14   -2.500 1.234500e+03 0.0001 1e+20"},
      {Format("%f", 2.0f), "2.000000"},
      {Format("%*d|%.*f", 4, 7, 1, 2.25), "   7|2.2"},
      {Format("%6s|%-6s|%.2s", "ab", "ab", "abcdef"), "    ab|ab    |ab"},
      {Format("%c%c", 'o', 'k'), "ok"},
      {Format("100%% %@", "sure"), "100% sure"},
      {Format("%2$@ %1$@", "world", "hello"), "hello world"},
      {Format("%i %@", 1.9, 42), "1 42"},  // a number where text is asked for prints as a number
      {Format("%@ %@ %i", "only"), "only  "},  // missing arguments print nothing
      {Format("%n%@", &value, "x"), "x"},      // %n writes nothing anywhere
      {Format("trailing %"), "trailing %"},
      {Format("no directives"), "no directives"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
  EXPECT_EQ(value, 0);
}

TEST(PWFormat, LongTextIsNotCut) {
  const std::string longText(5000, 'z');
  EXPECT_EQ(Format("<%s>", longText), "<" + longText + ">");
  EXPECT_EQ(Format("%.1f", 1e300).size(), 303u);
}

TEST(PWParseDouble, ReadsWholeNumbersOnly) {
  const struct {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"3.5", true, 3.5},        {" -0.25\n", true, -0.25}, {"1e3", true, 1000}, {"+7", true, 7},
      {"0x10", true, 16},        {"3,5", false, 0},        {"", false, 0},       {"  ", false, 0},
      {"1.5abc", false, 0},      {"abc", false, 0},        {"1 2", false, 0},    {"1e999", false, 0},
      {"-1e999", false, 0},
  };
  for (const auto& c : cases) {
    double value = -123;
    EXPECT_EQ(PWParseDouble(c.text, value), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : -123) << c.text;
  }
  double value = 0;
  EXPECT_TRUE(PWParseDouble("1e-320", value));  // a denormal is still a value
  EXPECT_GT(value, 0);
}

TEST(PWFormat, NumbersIgnoreADecimalCommaLocale) {
  ScopedDecimalCommaLocale locale;
  if (!locale.Active()) GTEST_SKIP() << "no decimal-comma locale on this machine";
  char native[32];
  std::snprintf(native, sizeof native, "%.1f", 2.5);
  ASSERT_STREQ(native, "2,5") << "the locale should really write a decimal comma";

  EXPECT_EQ(Format("%.2f|%g|%e", 3.25, 0.5, 1.5), "3.25|0.5|1.500000e+00");
  double value = 0;
  EXPECT_TRUE(PWParseDouble("3.25", value));
  EXPECT_EQ(value, 3.25);
  EXPECT_FALSE(PWParseDouble("3,25", value));

  // Other threads follow the process locale, not the calling thread's.
  std::string fromThread;
  bool parsedInThread = false;
  std::thread([&] {
    fromThread = Format("%.1f", 0.5);
    double v = 0;
    parsedInThread = PWParseDouble("0.5", v) && v == 0.5;
  }).join();
  EXPECT_EQ(fromThread, "0.5");
  EXPECT_TRUE(parsedInThread);
}

}  // namespace
