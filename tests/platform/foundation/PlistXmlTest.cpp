#include "platform/foundation/PlistXml.h"
#include "tests/platform/foundation/PlistPrinting.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using hc::foundation::FoundationErr;
using hc::foundation::PlistDate;
using hc::foundation::PlistValue;
using hc::foundation::PlistXml;

extern char** environ;

namespace {

PlistValue Sample() {
  PlistValue::DataBytes allBytes;
  for (int i = 0; i < 256; ++i) allBytes.push_back(static_cast<uint8_t>(i));

  PlistValue numbers = PlistValue::NewArray();
  numbers.Append(PlistValue::FromInteger(std::numeric_limits<int64_t>::min()));
  numbers.Append(PlistValue::FromInteger(std::numeric_limits<int64_t>::max()));
  numbers.Append(PlistValue::FromInteger(-5));
  numbers.Append(PlistValue::FromReal(0.1));
  numbers.Append(PlistValue::FromReal(-1.25e300));
  numbers.Append(PlistValue::FromReal(0));

  PlistValue nested = PlistValue::NewDictionary();
  nested.SetItem("empty array", PlistValue::NewArray());
  nested.SetItem("empty dictionary", PlistValue::NewDictionary());
  nested.SetItem("empty string", PlistValue::FromString(""));

  PlistValue root = PlistValue::NewDictionary();
  root.SetItem("numbers", numbers);
  root.SetItem("markup <&>\"'", PlistValue::FromString("a < b && c > \"d\"\ttab\nline ünï ✓"));
  root.SetItem("data", PlistValue::FromData(allBytes));
  root.SetItem("no data", PlistValue::FromData(PlistValue::DataBytes{}));
  root.SetItem("yes", PlistValue::FromBool(true));
  root.SetItem("no", PlistValue::FromBool(false));
  root.SetItem("date", PlistValue::FromDate(PlistDate{-86400.0 * 365}));
  root.SetItem("nested", nested);
  return root;
}

PlistValue NestedArrays(int levels) {
  PlistValue value = PlistValue::NewArray();
  for (int i = 1; i < levels; ++i) {
    PlistValue outer = PlistValue::NewArray();
    outer.Append(std::move(value));
    value = std::move(outer);
  }
  return value;
}

std::string NestedArrayText(int levels) {
  std::string text = "<plist version=\"1.0\">";
  for (int i = 0; i < levels; ++i) text += "<array>";
  for (int i = 0; i < levels; ++i) text += "</array>";
  return text + "</plist>";
}

const PlistValue kSentinel = PlistValue::FromString("unchanged");

}  // namespace

TEST(PlistXml, EveryTypeSurvivesWriteAndRead) {
  const PlistValue original = Sample();
  std::string xml;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Write(original, &xml));
  EXPECT_NE(std::string::npos, xml.find("<plist version=\"1.0\">"));
  EXPECT_NE(std::string::npos, xml.find("<integer>-9223372036854775808</integer>"));
  EXPECT_NE(std::string::npos, xml.find("<integer>-5</integer>"));

  PlistValue read;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Read(xml, &read));
  EXPECT_EQ(original, read);

  // Any value may stand at the top, not only a container.
  for (const PlistValue& top : {PlistValue::FromString("alone"), PlistValue::FromInteger(7)}) {
    ASSERT_EQ(FoundationErr::Ok, PlistXml::Write(top, &xml));
    ASSERT_EQ(FoundationErr::Ok, PlistXml::Read(xml, &read));
    EXPECT_EQ(top, read);
  }
}

TEST(PlistXml, ReadsADocumentAsThePlatformWroteIt) {
  const char* xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
      "<plist version=\"1.0\">\n<dict>\n"
      "\t<key>ProductVersion</key>\n\t<string>1.2.3</string>\n"
      "\t<key>Size</key>\n\t<integer>1048576</integer>\n"
      "\t<key>Rate</key>\n\t<real>2.5</real>\n"
      "\t<key>Required</key>\n\t<true/>\n"
      "\t<key>Fingerprint</key>\n\t<data>\n\tAAEC\n\tAwQ=\n\t</data>\n"
      "\t<key>Released</key>\n\t<date>1970-01-01T00:00:00Z</date>\n"
      "\t<key>Reference</key>\n\t<dict><key>CF$UID</key><integer>12</integer></dict>\n"
      "\t<key>Order</key>\n\t<array><integer>2</integer><false/></array>\n"
      "</dict>\n</plist>\n";
  PlistValue value;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Read(xml, &value));
  EXPECT_EQ("1.2.3", *value.GetItem("ProductVersion")->AsString());
  EXPECT_EQ(1048576, *value.GetItem("Size")->AsInteger());
  EXPECT_EQ(2.5, *value.GetItem("Rate")->AsReal());
  EXPECT_TRUE(*value.GetItem("Required")->AsBool());
  EXPECT_EQ(PlistValue::DataBytes({0, 1, 2, 3, 4}), *value.GetItem("Fingerprint")->AsData());
  EXPECT_EQ(-978307200.0, value.GetItem("Released")->AsDate()->secondsSince2001);
  // A keyed-archive reference stays the dictionary it was written as.
  EXPECT_EQ(12, *value.GetItem("Reference")->GetItem("CF$UID")->AsInteger());
  EXPECT_EQ(2u, value.GetItem("Order")->GetCount());

  std::string written;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Write(value, &written));
  PlistValue reread;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Read(written, &reread));
  EXPECT_EQ(value, reread);
}

TEST(PlistXml, MalformedTextFailsAndLeavesTheValue) {
  const std::string cases[] = {
      "",
      "not xml at all",
      "<plist version=\"1.0\"><dict><key>a</key><string>b</string>",  // truncated
      "<plist><string>a</plist></string>",
      "<something><else/></something>",
      "<plist version=\"1.0\"><date>2100-01-01T00:00:00Z</date></plist>",  // beyond 32-bit seconds
      "<plist version=\"1.0\"><date>1900-01-01T00:00:00Z</date></plist>",
      "<plist version=\"1.0\"><date>yesterday</date></plist>",
      "<plist version=\"1.0\"><string>caf\xE9</string></plist>",  // not UTF-8
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>caf\xE9</string></plist>",
      "<plist version=\"1.0\"><string>bell\x07</string></plist>",
      "<plist version=\"1.0\"><string>bell&#7;</string></plist>",
      NestedArrayText(PlistXml::kMaxDepth + 1),
      NestedArrayText(200000),  // would exhaust the stack of a recursive parser
  };
  for (const std::string& xml : cases) {
    PlistValue value = kSentinel;
    EXPECT_EQ(FoundationErr::MalformedData, PlistXml::Read(xml, &value)) << xml.substr(0, 80);
    EXPECT_EQ(kSentinel, value);
  }
  EXPECT_EQ(FoundationErr::BadArgument, PlistXml::Read("<plist><true/></plist>", nullptr));
}

TEST(PlistXml, NestingUpToTheLimitReadsAndWrites) {
  PlistValue value;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Read(NestedArrayText(PlistXml::kMaxDepth), &value));
  EXPECT_EQ(NestedArrays(PlistXml::kMaxDepth), value);
  std::string xml;
  EXPECT_EQ(FoundationErr::Ok, PlistXml::Write(value, &xml));
}

TEST(PlistXml, RefusesToWriteWhatXmlCannotCarry) {
  PlistValue badKey = PlistValue::NewDictionary();
  badKey.SetItem(std::string("a\0b", 3), PlistValue::FromBool(true));
  const PlistValue cases[] = {
      PlistValue(),
      PlistValue::FromString("bell\x07"),
      PlistValue::FromString(std::string("nul\0inside", 10)),
      PlistValue::FromString("caf\xE9"),        // not UTF-8
      PlistValue::FromString("\xED\xA0\x80"),  // a surrogate
      PlistValue::FromString("\xEF\xBF\xBF"),  // U+FFFF
      badKey,
      PlistValue::FromDate(PlistDate{4e9}),
      PlistValue::FromDate(PlistDate{-4e9}),
      NestedArrays(PlistXml::kMaxDepth + 1),
  };
  for (const PlistValue& value : cases) {
    std::string xml = "unchanged";
    EXPECT_EQ(FoundationErr::BadArgument, PlistXml::Write(value, &xml));
    EXPECT_EQ("unchanged", xml);
  }
  EXPECT_EQ(FoundationErr::BadArgument, PlistXml::Write(Sample(), nullptr));
}

TEST(PlistXml, DatesKeepWholeSeconds) {
  std::string xml;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Write(PlistValue::FromDate(PlistDate{86400.75}), &xml));
  EXPECT_NE(std::string::npos, xml.find("<date>2001-01-02T00:00:00Z</date>")) << xml;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Write(PlistValue::FromDate(PlistDate{-0.5}), &xml));
  EXPECT_NE(std::string::npos, xml.find("<date>2000-12-31T23:59:59Z</date>")) << xml;
}

// A locale whose decimal separator is a comma: the system's de_DE.UTF-8 when
// it is installed, else one built at test time.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    m_locale = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr));
    if (!m_locale) m_locale = BuildLocale();
    if (!m_locale) GTEST_SKIP() << "no de_DE.UTF-8 locale, and localedef could not build one";
    m_previous = uselocale(m_locale);
    ASSERT_STREQ(",", localeconv()->decimal_point);
  }
  void TearDown() override {
    if (m_previous) uselocale(m_previous);
    if (m_locale) freelocale(m_locale);
    if (!m_folder.empty()) std::filesystem::remove_all(m_folder);
  }

 private:
  locale_t BuildLocale() {
    m_folder = std::filesystem::temp_directory_path() / ("hc_locale_" + std::to_string(getpid()));
    std::filesystem::create_directories(m_folder);
    const std::string target = (m_folder / "de_DE.UTF-8").string();
    char* argv[] = {const_cast<char*>("localedef"), const_cast<char*>("-c"),
                    const_cast<char*>("-i"), const_cast<char*>("de_DE"),
                    const_cast<char*>("-f"), const_cast<char*>("UTF-8"),
                    const_cast<char*>(target.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "localedef", nullptr, nullptr, argv, environ) != 0) return nullptr;
    int status = 0;
    waitpid(pid, &status, 0);
    setenv("LOCPATH", m_folder.c_str(), 1);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();  // glibc keeps the parsed LOCPATH for good
#endif
    locale_t built = newlocale(LC_ALL_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr));
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
    unsetenv("LOCPATH");
    return built;
  }

  std::filesystem::path m_folder;
  locale_t m_locale = nullptr;
  locale_t m_previous = nullptr;
};

TEST_F(DecimalCommaLocale, RealsUseAPointWhateverTheLocale) {
  std::string xml;
  ASSERT_EQ(FoundationErr::Ok, PlistXml::Write(PlistValue::FromReal(0.5), &xml));
  EXPECT_NE(std::string::npos, xml.find("<real>0.5")) << xml;

  PlistValue value;
  ASSERT_EQ(FoundationErr::Ok,
            PlistXml::Read("<plist version=\"1.0\"><real>2.25</real></plist>", &value));
  EXPECT_EQ(PlistValue::FromReal(2.25), value);
  EXPECT_STREQ(",", localeconv()->decimal_point);  // the caller's locale is back
}
