#include "PWString.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "TestFolder.h"

namespace {

std::optional<std::string> TextOf(const PWStringRef& s) {
  if (s.IsNull()) return std::nullopt;
  return s.Str();
}

using OptText = std::optional<std::string>;

TEST(PWStringRef, NullIsDistinctFromEmpty) {
  const PWStringRef null;
  const PWStringRef empty("");
  EXPECT_TRUE(null.IsNull());
  EXPECT_EQ(null.CStr(), nullptr);
  EXPECT_FALSE(empty.IsNull());
  EXPECT_STREQ(empty.CStr(), "");
  EXPECT_NE(null, empty);
  EXPECT_EQ(null, PWStringRef(nullptr));
  EXPECT_EQ(PWStringRef("abc"), PWStringRef(std::string("abc")));
  EXPECT_TRUE(PWStringCreateWithCString(nullptr).IsNull());
  EXPECT_EQ(TextOf(PWStringCreateWithCString("")), "");
  EXPECT_TRUE(PWStringCopy(null).IsNull());
}

TEST(PWStringRef, CopiesShareTheText) {
  const PWStringRef original("shared");
  const PWStringRef copy = PWStringCopy(original);
  EXPECT_TRUE(copy.SameObject(original));
}

struct BytesCase {
  std::string bytes;
  size_t count;
  PWStringEncoding encoding;
  OptText expected;
};

TEST(PWString, CreateWithBytesStopsAtNulAndRefusesUndecodableBytes) {
  const BytesCase cases[] = {
      {"abc", 2, PWStringEncoding::kUTF8, "ab"},
      {std::string("a\0b", 3), 3, PWStringEncoding::kUTF8, "a"},
      {"abc", 0, PWStringEncoding::kUTF8, ""},
      {"\xC3\xA9t\xC3\xA9", 5, PWStringEncoding::kUTF8, "\xC3\xA9t\xC3\xA9"},
      {"\xC3\xA9", 1, PWStringEncoding::kUTF8, std::nullopt},          // cut inside a character
      {"\xC0\xAF", 2, PWStringEncoding::kUTF8, std::nullopt},          // overlong form
      {"\xED\xA0\x80", 3, PWStringEncoding::kUTF8, std::nullopt},      // surrogate
      {"\xF4\x90\x80\x80", 4, PWStringEncoding::kUTF8, std::nullopt},  // past U+10FFFF
      {"caf\xE9", 4, PWStringEncoding::kASCII, std::nullopt},
      {"plain", 5, PWStringEncoding::kASCII, "plain"},
      {"\x8E\xDB\xCA", 3, PWStringEncoding::kMacRoman, "\xC3\xA9\xE2\x82\xAC\xC2\xA0"},  // é € no-break space
  };
  for (const BytesCase& c : cases) {
    EXPECT_EQ(TextOf(PWStringCreateWithBytes(c.bytes.data(), c.encoding, c.count)), c.expected) << c.bytes;
  }
  EXPECT_TRUE(PWStringCreateWithBytes(nullptr, PWStringEncoding::kUTF8, 3).IsNull());
}

TEST(PWString, MacRomanRoundTripsEveryByte) {
  for (int byte = 1; byte < 256; ++byte) {
    const char in = static_cast<char>(byte);
    const PWStringRef decoded = PWStringCreateWithBytes(&in, PWStringEncoding::kMacRoman, 1);
    ASSERT_FALSE(decoded.IsNull()) << byte;
    char out[8];
    ASSERT_TRUE(PWStringGetCString(decoded, out, sizeof out, PWStringEncoding::kMacRoman)) << byte;
    EXPECT_EQ(std::string(out), std::string(1, in)) << byte;
  }
}

TEST(PWString, GetCStringNeedsRoomForTheNulAndAnEncodableText) {
  char buffer[4];
  EXPECT_TRUE(PWStringGetCString("abc", buffer, 4, PWStringEncoding::kUTF8));
  EXPECT_STREQ(buffer, "abc");
  EXPECT_FALSE(PWStringGetCString("abcd", buffer, 4, PWStringEncoding::kUTF8));
  EXPECT_FALSE(PWStringGetCString("\xC3\xA9", buffer, 4, PWStringEncoding::kASCII));
  EXPECT_FALSE(PWStringGetCString(nullptr, buffer, 4, PWStringEncoding::kUTF8));

  const PWCStringPtr macRoman("\xC3\xA9", PWStringEncoding::kMacRoman);
  EXPECT_STREQ(macRoman.CStr(), "\x8E");
  const PWCStringPtr ascii("\xC3\xA9", PWStringEncoding::kASCII);
  EXPECT_EQ(ascii.CStr(), nullptr);
  const PWCStringPtr null(nullptr);
  EXPECT_EQ(null.CStr(), nullptr);
}

TEST(PWString, ConcatOfANullArgumentIsNull) {
  EXPECT_EQ(TextOf(PWStringConcat("ab", "cd")), "abcd");
  EXPECT_EQ(TextOf(PWStringConcat("", "")), "");
  EXPECT_TRUE(PWStringConcat(nullptr, "cd").IsNull());
  EXPECT_TRUE(PWStringConcat("ab", nullptr).IsNull());
}

// "a", U+1F600 (two UTF-16 units), "b"
const char* const kWithSurrogatePair = "a\xF0\x9F\x98\x80" "b";

struct SubstringCase {
  size_t location;
  size_t length;
  OptText expected;
};

TEST(PWString, LengthAndSubstringCountUTF16Units) {
  EXPECT_EQ(PWStringGetLength(kWithSurrogatePair), 4u);
  EXPECT_EQ(PWStringGetLength("\xC3\xA9t\xC3\xA9"), 3u);
  EXPECT_EQ(PWStringGetLength(nullptr), 0u);
  const SubstringCase cases[] = {
      {0, 1, "a"},
      {1, 2, "\xF0\x9F\x98\x80"},
      {3, 1, "b"},
      {4, 0, ""},
      {0, 4, kWithSurrogatePair},
      {2, 1, std::nullopt},  // starts inside the pair
      {1, 1, std::nullopt},  // ends inside the pair
      {3, 2, std::nullopt},  // past the end
      {5, 0, std::nullopt},
      {1, SIZE_MAX, std::nullopt},
  };
  for (const SubstringCase& c : cases) {
    EXPECT_EQ(TextOf(PWStringCreateSubstring(kWithSurrogatePair, c.location, c.length)), c.expected)
        << c.location << "+" << c.length;
  }
}

TEST(PWString, LessNoCaseMakesOneKeyOfEveryCaseForm) {
  const PWStringLessNoCase less;
  const PWStringRef null;
  EXPECT_TRUE(less(PWStringRef("apple"), PWStringRef("Banana")));
  EXPECT_FALSE(less(PWStringRef("Banana"), PWStringRef("apple")));
  EXPECT_FALSE(less(PWStringRef("PanAngle"), PWStringRef("PANANGLE")));
  EXPECT_FALSE(less(PWStringRef("PANANGLE"), PWStringRef("PanAngle")));
  EXPECT_TRUE(less(null, PWStringRef("")));
  EXPECT_FALSE(less(PWStringRef(""), null));
  EXPECT_TRUE(less(null, "a"));
  EXPECT_FALSE(less("a", null));

  std::map<PWStringRef, int, PWStringLessNoCase> properties{{"PanAngle", 1}, {"TiltAngle", 2}};
  EXPECT_EQ(properties.find(PWStringRef("PANANGLE"))->second, 1);
  EXPECT_EQ(properties.find(std::string_view("tiltangle"))->second, 2);
  EXPECT_EQ(properties.find("TILTANGLE")->second, 2);
  EXPECT_EQ(properties.find(std::string("panangle"))->second, 1);
  EXPECT_EQ(properties.count(std::string_view("Pan")), 0u);
  EXPECT_TRUE(PWStringEqualNoCase("VFOV", "vfov"));
  EXPECT_FALSE(PWStringEqualNoCase("VFOV", "vfo"));
}

TEST(PWString, HasPrefix) {
  EXPECT_TRUE(PWStringHasPrefix("hc://Viewsets", "hc://"));
  EXPECT_FALSE(PWStringHasPrefix("hc:/", "hc://"));
  EXPECT_FALSE(PWStringHasPrefix("HC://x", "hc://"));
  EXPECT_FALSE(PWStringHasPrefix("abc", ""));
  EXPECT_FALSE(PWStringHasPrefix(nullptr, "a"));
  EXPECT_FALSE(PWStringHasPrefix("a", nullptr));
}

struct PathCase {
  const char* path;
  const char* lastComponent;
  const char* extension;
  const char* withoutExtension;
};

TEST(PWString, PathRoutines) {
  const PathCase cases[] = {
      {"/a/b/c.mov", "c.mov", "mov", "/a/b/c"},
      {"movie.hcml", "movie.hcml", "hcml", "movie"},
      {"/a/b/", "b", "", "/a/b"},
      {"/a.d/file", "file", "", "/a.d/file"},
      {"archive.tar.gz", "archive.tar.gz", "gz", "archive.tar"},
      {".hidden", ".hidden", "", ".hidden"},
      {"/dir/name.", "name.", "", "/dir/name."},
      {"/", "/", "", "/"},
      {"", "", "", ""},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(TextOf(PWStringLastPathComponent(c.path)), c.lastComponent) << c.path;
    EXPECT_EQ(TextOf(PWStringPathExtension(c.path)), c.extension) << c.path;
    EXPECT_EQ(TextOf(PWStringDeletingPathExtension(c.path)), c.withoutExtension) << c.path;
  }
  EXPECT_TRUE(PWStringLastPathComponent(nullptr).IsNull());
  EXPECT_TRUE(PWStringPathExtension(nullptr).IsNull());
  EXPECT_TRUE(PWStringDeletingPathExtension(nullptr).IsNull());
}

struct TrimCase {
  const char* text;
  const char* trimmed;
  bool blank;
};

TEST(PWString, TrimAndBlankUseSpaceTabLineFeedAndReturnOnly) {
  const TrimCase cases[] = {
      {" \ta b\r\n", "a b", false},
      {"   ", "", true},
      {"", "", true},
      {"\n\t ", "", true},
      {" x ", "x", false},
      {"\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0", false},  // no-break spaces stay
      {"\vx\v", "\vx\v", false},                          // so do vertical tabs
      {"\v", "\v", false},
  };
  for (const TrimCase& c : cases) {
    EXPECT_EQ(TextOf(PWStringTrimWhitespace(c.text)), c.trimmed) << c.text;
    EXPECT_EQ(PWStringIsBlank(c.text), c.blank) << c.text;
  }
  EXPECT_TRUE(PWStringTrimWhitespace(nullptr).IsNull());
}

TEST(PWString, IsBlankOfNullReportsTheFailedAssertionAndAnswersBlank) {
  testing::internal::CaptureStderr();
  const bool blank = PWStringIsBlank(nullptr);
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(blank);
  EXPECT_NE(report.find("supporting/KsCommon/Source/PWString:"), std::string::npos) << report;
  EXPECT_NE(report.find(": failed assertion `string'\n"), std::string::npos) << report;
}

// What an XML parser reads back from `escaped` written as an element's content.
std::optional<std::string> ParsedContent(const std::string& escaped) {
  const std::string document = "<r>" + escaped + "</r>";
  xmlDocPtr doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), nullptr, "UTF-8",
                                XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NONET);
  if (!doc) return std::nullopt;
  xmlChar* content = xmlNodeGetContent(xmlDocGetRootElement(doc));
  std::string text(reinterpret_cast<const char*>(content));
  xmlFree(content);
  xmlFreeDoc(doc);
  return text;
}

struct EscapeCase {
  std::string text;
  std::string escaped;
  std::string readBack;  // what a parser gets from the escaped text
};

TEST(PWString, EscapeXMLKeepsTheTextThroughAParser) {
  const std::string replacement = "\xEF\xBF\xBD";
  const EscapeCase cases[] = {
      {"plain ]] text\nwith 'quotes'", "plain ]] text\nwith 'quotes'", "plain ]] text\nwith 'quotes'"},
      {"a<b", "<![CDATA[a<b]]>", "a<b"},
      {"x]]>y", "<![CDATA[x]]]]><![CDATA[>y]]>", "x]]>y"},
      {"]]>]]>", "<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>", "]]>]]>"},
      {"Tom & \"Jerry\"", "<![CDATA[Tom & \"Jerry\"]]>", "Tom & \"Jerry\""},
      {"<hcml>\r\n</hcml>", "<![CDATA[<hcml>]]>&#13;<![CDATA[\n</hcml>]]>", "<hcml>\r\n</hcml>"},
      {"line\rbreak", "line&#13;break", "line\rbreak"},
      // Characters XML cannot carry at all become U+FFFD instead of making
      // the whole document unreadable.
      {std::string("bell\x07", 5) + std::string(1, '\0') + "end", "bell" + replacement + replacement + "end",
       "bell" + replacement + replacement + "end"},
      {"a\x1b<", "<![CDATA[a" + replacement + "<]]>", "a" + replacement + "<"},
      {"tab\tkept", "tab\tkept", "tab\tkept"},
  };
  for (const EscapeCase& c : cases) {
    const PWStringRef escaped = PWStringEscapeXML(PWStringRef(c.text));
    ASSERT_FALSE(escaped.IsNull());
    EXPECT_EQ(escaped.Str(), c.escaped) << c.text;
    EXPECT_EQ(ParsedContent(escaped.Str()), c.readBack) << c.text;
  }
}

TEST(PWString, EscapeXMLAnswersTheSameStringWhenNothingNeedsEscaping) {
  const PWStringRef text("nothing to escape");
  EXPECT_TRUE(PWStringEscapeXML(text).SameObject(text));
  EXPECT_TRUE(PWStringEscapeXML(nullptr).IsNull());
}

TEST(PWString, ContentsOfFileAreDecodedWhole) {
  TestFolder folder;
  EXPECT_TRUE(PWStringCreateWithContentsOfFile(folder.File("missing.hcml").string()).IsNull());
  EXPECT_TRUE(PWStringCreateWithContentsOfFile(nullptr).IsNull());
  EXPECT_TRUE(PWStringCreateWithContentsOfFile(folder.Path().string()).IsNull());  // a folder
  EXPECT_EQ(TextOf(PWStringCreateWithContentsOfFile(folder.Write("empty", ""))), "");

  const std::string ascii(5000, 'q');
  EXPECT_EQ(TextOf(PWStringCreateWithContentsOfFile(folder.Write("ascii", ascii))), ascii);

  // Two-byte characters at every offset, so some fall across any read boundary.
  std::string accented = "x";
  while (accented.size() < 20000) accented += "\xC3\xA9";
  EXPECT_EQ(TextOf(PWStringCreateWithContentsOfFile(folder.Write("accented", accented))), accented);

  EXPECT_TRUE(PWStringCreateWithContentsOfFile(folder.Write("latin1", "caf\xE9")).IsNull());

  // A file that reports no size still reads to its end.
  const PWStringRef status = PWStringCreateWithContentsOfFile("/proc/self/status");
  EXPECT_NE(std::string::npos, status.Str().find("Name:"));
}

// The check runs over ASCII several bytes at a time: a character, good or
// bad, must be judged the same wherever it falls within a run of ASCII.
TEST(PWString, ContentsOfFileAreCheckedAsUTF8WhereverACharacterFalls) {
  struct Case {
    const char* character;
    bool valid;
  };
  const Case cases[] = {
      {"\xC3\xA9", true},           {"\xE2\x82\xAC", true},       {"\xF0\x9F\x98\x80", true},
      {"\x80", false},               {"\xC3", false},                {"\xC0\xAF", false},
      {"\xED\xA0\x80", false},       {"\xF4\x90\x80\x80", false},   {"\xE2\x82", false},
      {"\xFF", false},
  };
  TestFolder folder;
  for (const Case& c : cases) {
    for (size_t before = 0; before < 18; ++before) {
      for (size_t after : {size_t{0}, size_t{1}, size_t{9}}) {
        const std::string text = std::string(before, 'a') + c.character + std::string(after, 'b');
        const PWStringRef read = PWStringCreateWithContentsOfFile(folder.Write("text", text));
        EXPECT_EQ(c.valid, !read.IsNull()) << before << " " << after << " " << text;
        if (c.valid) {
          EXPECT_EQ(TextOf(read), text);
        }
      }
    }
  }
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = getenv(name)) m_old = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (m_old) {
      setenv(m_name, m_old->c_str(), 1);
    } else {
      unsetenv(m_name);
    }
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(PWString, TempPathIsAFreshFileInTMPDIR) {
  TestFolder folder;
  const std::string withSlash = folder.Path().string() + "/";
  ScopedEnv tmpdir("TMPDIR", withSlash.c_str());
  const PWStringRef first = PWCreateTempPath();
  const PWStringRef second = PWCreateTempPath();
  ASSERT_FALSE(first.IsNull());
  ASSERT_FALSE(second.IsNull());
  EXPECT_NE(first, second);
  for (const PWStringRef& path : {first, second}) {
    const std::filesystem::path p(path.Str());
    EXPECT_EQ(p.parent_path(), folder.Path());
    const std::string name = p.filename().string();
    EXPECT_EQ(name.size(), 9u) << name;
    EXPECT_EQ(name.substr(0, 3), "ks.") << name;
    EXPECT_NE(name.substr(3), "XXXXXX");
    // The file exists and only its owner may read it, so nobody can slip
    // another file in under the name.
    struct stat info {};
    ASSERT_EQ(stat(path.CStr(), &info), 0) << name;
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0077, 0u);
  }
}

TEST(PWString, TempPathFallsBackToTmpWithoutAUsableTMPDIR) {
  ScopedEnv tmpdir("TMPDIR", "/nonexistent-folder-for-kscommon");
  const PWStringRef path = PWCreateTempPath();
  ASSERT_FALSE(path.IsNull());
  EXPECT_EQ(std::filesystem::path(path.Str()).parent_path(), "/tmp");
  std::filesystem::remove(path.Str());
}

}  // namespace
