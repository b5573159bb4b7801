#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <string>

#include "TextTestSupport.h"
#include "platform/text/Utf8.h"

using namespace hc::text;

namespace {

// A paragraph per " / ", alignment first ("C:" centred, "R:" right, "J:"
// justified), runs as their quoted text followed by what sets them apart:
// b, i, u, the size when not 12, the colour, the font name.
std::string Describe(const StyledText& text) {
  std::string out;
  for (size_t p = 0; p < text.paragraphs.size(); ++p) {
    const TextParagraph& paragraph = text.paragraphs[p];
    if (p > 0) out += " / ";
    switch (paragraph.alignment) {
      case ParagraphAlignment::Center: out += "C:"; break;
      case ParagraphAlignment::Right: out += "R:"; break;
      case ParagraphAlignment::Justified: out += "J:"; break;
      case ParagraphAlignment::Left: break;
    }
    if (paragraph.runs.empty()) out += "\"\"";
    for (size_t r = 0; r < paragraph.runs.size(); ++r) {
      const TextRun& run = paragraph.runs[r];
      if (r > 0) out += " + ";
      out += '"';
      for (char c : run.text) {
        if (c == '\n') {
          out += "\\n";
        } else if (c == '\t') {
          out += "\\t";
        } else {
          out += c;
        }
      }
      out += '"';
      const TextStyle& s = run.style;
      if (s.bold) out += " b";
      if (s.italic) out += " i";
      if (s.underline) out += " u";
      if (s.sizePoints != 12.0f) {
        char size[16];
        std::snprintf(size, sizeof size, " %g", static_cast<double>(s.sizePoints));
        out += size;
      }
      if (s.color) {
        char color[16];
        std::snprintf(color, sizeof color, " #%02x%02x%02x", s.color->r, s.color->g, s.color->b);
        out += color;
      }
      if (!s.fontName.empty()) out += " f=" + s.fontName;
    }
  }
  return out;
}

std::string Read(const std::string& rtf) {
  StyledText text;
  const TextErr err = ReadRtf(rtf, &text);
  if (err != TextErr::Ok) return std::string("error ") + TextErrName(err);
  return Describe(text);
}

struct Case {
  const char* name;
  const char* rtf;
  const char* expected;
};

const Case kCases[] = {
    {"plain text", R"({\rtf1 Hello})", R"("Hello")"},
    {"groups scope formatting", R"({\rtf1 a{\b b{\i c}}d})", R"("a" + "b" b + "c" b i + "d")"},
    {"toggles with parameters", R"({\rtf1\b a\b0 b\i c\i0\ul d\ulnone e\ul f\ul0 g})",
     R"("a" b + "b" + "c" i + "d" u + "e" + "f" u + "g")"},
    {"plain resets character formatting",
     R"({\rtf1{\colortbl;\red255\green0\blue0;}\b\i\fs40\cf1 x\plain y})", R"("x" b i 20 #ff0000 + "y")"},
    {"font table in groups and the default font",
     R"({\rtf1\deff1{\fonttbl{\f0\fswiss Helvetica;}{\f1\froman{\*\panose 0}Times New Roman;}}a\f0 b})",
     R"("a" f=Times New Roman + "b" f=Helvetica)"},
    {"font table without groups", R"({\rtf1{\fonttbl\f0\fswiss\fcharset0 Helvetica;\f1\fnil Menlo;}\f1 a})",
     R"("a" f=Menlo)"},
    {"colour table with the automatic entry",
     R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green128\blue255;}\cf1 r\cf2 b\cf0 a\cf9 n})",
     R"("r" #ff0000 + "b" #0080ff + "an")"},
    {"sizes are half points", R"({\rtf1\fs36 big\fs17 small\fs0 default})", R"("big" 18 + "small" 8.5 + "default")"},
    {"paragraph, line and tab", R"({\rtf1 one\par two\line three\tab four\par})", R"("one" / "two\nthree\tfour")"},
    {"alignment holds until the paragraph defaults",
     R"({\rtf1\qc centred\par\pard right\qr\par\pard\qj just\par still\par\pard left})",
     R"(C:"centred" / R:"right" / J:"just" / J:"still" / "left")"},
    {"paragraphs in groups", R"({\rtf1{\pard\qc a\par}{\pard b\par}})", R"(C:"a" / "b")"},
    {"an empty paragraph stays, the final mark adds none", R"({\rtf1 a\par\par b\par})", R"("a" / "" / "b")"},
    {"escaped specials", R"({\rtf1 \{x\}\\y\~z})", "\"{x}\\y\xC2\xA0z\""},
    {"hex escapes in Windows 1252", R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'93q\'94 \'80})",
     "\"caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x82\xAC\""},
    {"hex escapes in Mac Roman", R"({\rtf1\mac caf\'8e \'d2q\'d3})", "\"caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D\""},
    {"unicode with its fallback skipped", R"({\rtf1 a\u233?b\uc2\u8364 xyc\uc0\u20013 d})",
     "\"a\xC3\xA9" "b\xE2\x82\xAC" "c\xE4\xB8\xAD" "d\""},
    {"negative unicode values and surrogate pairs", R"({\rtf1 \u-3913?\u-10179?\u-8704?})",
     "\"\xEF\x82\xB7\xF0\x9F\x98\x80\""},
    {"a fallback hex escape counts as one character", R"({\rtf1 \u252\'fc!})", "\"\xC3\xBC!\""},
    {"a group ends the fallback", R"({\rtf1\uc3 \u252{x}y})", "\"\xC3\xBCxy\""},
    {"named characters", R"({\rtf1\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})",
     "\"\xE2\x80\x94\xE2\x80\x93\xE2\x80\xA2\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D\""},
    {"ignorable destinations are skipped", R"({\rtf1{\*\expandedcolortbl;;}{\*\unknown {nested} text}a})",
     R"("a")"},
    {"known hidden destinations are skipped",
     R"({\rtf1{\info{\title T}{\author A}}{\stylesheet{\s0 Normal;}}{\header h}a{\footnote f}b})", R"("ab")"},
    {"a picture with binary data is skipped", "{\\rtf1 a{\\pict\\bin3 }{}b}c}", R"("ac")"},
    {"a field shows its result", R"({\rtf1{\field{\*\fldinst{HYPERLINK "x"}}{\fldrslt{\ul link}}}.})",
     R"("link" u + ".")"},
    {"line ends and raw tabs", "{\\rtf1 a\r\nb\tc\\\nd}", R"("ab\tc" / "d")"},
    {"unknown words are ignored", R"({\rtf1\cocoartf2639\cocoatextscaling0 \widowctrl\sa180 text})", R"("text")"},
    {"text after the document is ignored", R"({\rtf1 a}{\b b})", R"("a")"},
    {"an unfinished document keeps what it read", R"({\rtf1 a{\b b)", R"("a" + "b" b)"},
    {"a document without text", R"({\rtf1{\fonttbl\f0 Helvetica;}})", ""},
    {"leading blanks", " \r\n{\\rtf1 a}", R"("a")"},
    {"a hyphen that starts no number", R"({\rtf1\b-a})", R"("-a" b)"},
};

class RtfCases : public testing::TestWithParam<Case> {};

TEST_P(RtfCases, ReadIntoRuns) { EXPECT_EQ(Read(GetParam().rtf), GetParam().expected) << GetParam().rtf; }

INSTANTIATE_TEST_SUITE_P(RtfReader, RtfCases, testing::ValuesIn(kCases), [](const auto& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
});

TEST(RtfReader, RefusesWhatIsNotRtfOrBreaksItsLimits) {
  const std::string deep = "{\\rtf1" + std::string(RtfReader::kMaxDepth, '{') + "x}";
  const std::string deepest = "{\\rtf1" + std::string(RtfReader::kMaxDepth - 1, '{') + "x}";
  const struct {
    std::string rtf;
    TextErr expected;
  } cases[] = {
      {"", TextErr::MalformedRtf},
      {"Hello", TextErr::MalformedRtf},
      {"{\\rt", TextErr::MalformedRtf},
      {"{\\urtf1 x}", TextErr::MalformedRtf},
      {deep, TextErr::MalformedRtf},
      {deepest, TextErr::Ok},
      {"{\\rtf1 \\" + std::string(33, 'a') + " x}", TextErr::MalformedRtf},
      {"{\\rtf1 \\" + std::string(32, 'a') + " x}", TextErr::Ok},
      {"{\\rtf1 \\fs12345678901 x}", TextErr::MalformedRtf},
      {"{\\rtf1 \\fs1234567890 x}", TextErr::Ok},
      {"{\\rtf1 \\'g1}", TextErr::MalformedRtf},
      {"{\\rtf1 \\'4", TextErr::MalformedRtf},
      {"{\\rtf1 x\\", TextErr::MalformedRtf},
      {"{\\rtf1 {\\pict\\bin10 abc}}", TextErr::MalformedRtf},
      {"{\\rtf1 {\\pict\\bin-1 abc}}", TextErr::MalformedRtf},
      {"{\\rtf1 {\\pict\\bin abc}}", TextErr::MalformedRtf},
  };
  for (const auto& c : cases) {
    StyledText text;
    text.paragraphs.emplace_back();
    const TextErr err = ReadRtf(c.rtf, &text);
    EXPECT_EQ(err, c.expected) << c.rtf.substr(0, 80);
    // A failed read leaves the output as it was.
    if (err != TextErr::Ok) {
      EXPECT_EQ(text.paragraphs.size(), 1u);
    }
  }
  EXPECT_EQ(RtfReader::Read({}, nullptr), TextErr::BadArgument);
  const std::string big = "{\\rtf1 " + std::string(RtfReader::kMaxBytes, 'a') + "}";
  StyledText text;
  EXPECT_EQ(ReadRtf(big, &text), TextErr::MalformedRtf);
}

TEST(RtfReader, BoundsTheRunsADocumentMakes) {
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 70000; ++i) rtf += i % 2 ? "\\b a" : "\\b0 a";
  rtf += "}";
  StyledText text;
  EXPECT_EQ(ReadRtf(rtf, &text), TextErr::MalformedRtf);
}

TEST(RtfReader, TabIntervalComesFromTheDocument) {
  StyledText text;
  ASSERT_EQ(ReadRtf(R"({\rtf1 a})", &text), TextErr::Ok);
  EXPECT_EQ(text.tabIntervalPoints, 36.0f);
  ASSERT_EQ(ReadRtf(R"({\rtf1\deftab560 a})", &text), TextErr::Ok);
  EXPECT_EQ(text.tabIntervalPoints, 28.0f);
}

TEST(RtfReader, EmptyParagraphTakesTheStyleAtItsEnd) {
  StyledText text;
  ASSERT_EQ(ReadRtf(R"({\rtf1\fs48 a\par\fs20\par b})", &text), TextErr::Ok);
  ASSERT_EQ(text.paragraphs.size(), 3u);
  EXPECT_TRUE(text.paragraphs[1].runs.empty());
  EXPECT_EQ(text.paragraphs[1].endStyle.sizePoints, 10.0f);
}

// glibc's converters are the reference for both code pages.
std::string IconvToUtf8(const char* codePage, unsigned char byte) {
  iconv_t cd = iconv_open("UTF-8", codePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "?";
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  size_t inLeft = 1;
  size_t outLeft = sizeof out;
  const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) return "";
  return std::string(out, outPtr);
}

TEST(RtfReader, HexEscapesAgreeWithIconv) {
  const struct {
    const char* header;
    const char* iconvName;
  } pages[] = {{"\\ansi\\ansicpg1252", "CP1252"}, {"\\mac", "MACINTOSH"}, {"\\ansicpg10000", "MACINTOSH"}};
  for (const auto& page : pages) {
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
      const std::string expected = IconvToUtf8(page.iconvName, static_cast<unsigned char>(byte));
      if (expected.empty()) continue;  // no character at that byte
      // Apple's own table maps these two to U+2206 and U+F8FF, the ones its
      // writers meant; glibc keeps older choices.
      if (std::string(page.iconvName) == "MACINTOSH" && (byte == 0xC6 || byte == 0xF0)) continue;
      char rtf[64];
      std::snprintf(rtf, sizeof rtf, "{\\rtf1%s \\'%02x}", page.header, byte);
      StyledText text;
      ASSERT_EQ(ReadRtf(rtf, &text), TextErr::Ok);
      EXPECT_EQ(text.PlainText(), expected) << page.iconvName << " byte " << byte;
    }
  }
}

}  // namespace
