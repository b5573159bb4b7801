// Documents written by programs we didn't write read into the runs their
// sources call for: pandoc turns Markdown into RTF (headings, bold, italic,
// line breaks, characters beyond ASCII), highlight turns C source into RTF
// coloured, bold and italic by a theme we give it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "TextTestSupport.h"

using namespace hc::text;

namespace {

struct Expected {
  std::string text;
  bool bold;
  bool italic;
  float size;
};

// The runs of the document, blank-only runs dropped (the writers put spaces
// between elements in runs of their own).
std::vector<TextRun> VisibleRuns(const StyledText& text) {
  std::vector<TextRun> runs;
  for (const TextParagraph& paragraph : text.paragraphs) {
    for (const TextRun& run : paragraph.runs) {
      if (run.text.find_first_not_of(" ") != std::string::npos) runs.push_back(run);
    }
  }
  return runs;
}

const TextRun* RunWith(const std::vector<TextRun>& runs, const std::string& text) {
  for (const TextRun& run : runs) {
    if (run.text == text) return &run;
  }
  return nullptr;
}

TEST(RtfFromPandoc, MarkdownReadsIntoItsRuns) {
  ScratchFolder folder;
  WriteText(folder / "caption.md",
            "# Great hall\n\n"
            "Pan **slowly** to the *left* and ***both***.\n\n"
            "## Stairs\n\n"
            "First line\\\nsecond line caf\xC3\xA9 \xE2\x82\xAC 5\n");
  ASSERT_EQ(RunTool({"pandoc", "-s", "-f", "markdown", "-t", "rtf", folder / "caption.md", "-o",
                     folder / "caption.rtf"}),
            0);
  StyledText text;
  ASSERT_EQ(ReadRtf(ReadText(folder / "caption.rtf"), &text), TextErr::Ok);
  ASSERT_EQ(text.paragraphs.size(), 4u);
  const std::vector<Expected> expected = {
      {"Great hall", true, false, 18.0f}, {"Pan ", false, false, 12.0f},  {"slowly", true, false, 12.0f},
      {" to the ", false, false, 12.0f},  {"left", false, true, 12.0f},   {" and ", false, false, 12.0f},
      {"both", true, true, 12.0f},        {".", false, false, 12.0f},     {"Stairs", true, false, 16.0f},
      {"First line\nsecond line caf\xC3\xA9 \xE2\x82\xAC 5", false, false, 12.0f},
  };
  const std::vector<TextRun> runs = VisibleRuns(text);
  ASSERT_EQ(runs.size(), expected.size());
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].text, expected[i].text) << i;
    EXPECT_EQ(runs[i].style.bold, expected[i].bold) << runs[i].text;
    EXPECT_EQ(runs[i].style.italic, expected[i].italic) << runs[i].text;
    EXPECT_EQ(runs[i].style.sizePoints, expected[i].size) << runs[i].text;
    EXPECT_FALSE(runs[i].style.color) << runs[i].text;
  }
  // pandoc reads the same document back to the same words.
  ASSERT_EQ(RunTool({"pandoc", "-f", "rtf", "-t", "plain", folder / "caption.rtf", "-o", folder / "back.txt"}), 0);
  const std::string back = ReadText(folder / "back.txt");
  for (const char* word : {"Great hall", "slowly", "Stairs", "caf\xC3\xA9"}) {
    EXPECT_NE(back.find(word), std::string::npos) << word;
  }
}

TEST(RtfFromHighlight, ThemeColoursAndFacesReadIntoTheRuns) {
  ScratchFolder folder;
  WriteText(folder / "look.c", "int pan(void) { return 42; } /* left */\n");
  WriteText(folder / "captions.theme",
            "Description=\"test\"\n"
            "Default = { Colour=\"#000000\" }\n"
            "Canvas = { Colour=\"#ffffff\" }\n"
            "Number = { Colour=\"#0000ff\" }\n"
            "Escape = { Colour=\"#000000\" }\n"
            "String = { Colour=\"#000000\" }\n"
            "StringPreProc = { Colour=\"#000000\" }\n"
            "BlockComment = { Colour=\"#00c000\", Italic=true }\n"
            "PreProcessor = { Colour=\"#000000\" }\n"
            "LineNum = { Colour=\"#000000\" }\n"
            "Operator = { Colour=\"#000000\" }\n"
            "LineComment = BlockComment\n"
            "Interpolation = Escape\n"
            "Keywords = {\n"
            "  { Colour=\"#c00000\", Bold=true },\n"
            "  { Colour=\"#c00000\", Bold=true },\n"
            "  { Colour=\"#c00000\", Bold=true },\n"
            "  { Colour=\"#c00000\", Bold=true },\n"
            "}\n");
  ASSERT_EQ(RunTool({"highlight", "-O", "rtf", "--font-size=14", "--config-file=" + (folder / "captions.theme"),
                     "-s", "captions", "-i", folder / "look.c", "-o", folder / "look.rtf"}),
            0);
  StyledText text;
  ASSERT_EQ(ReadRtf(ReadText(folder / "look.rtf"), &text), TextErr::Ok);
  const std::vector<TextRun> runs = VisibleRuns(text);
  const struct {
    const char* text;
    Rgba8 color;
    bool bold;
    bool italic;
  } expected[] = {
      {"int", {0xc0, 0, 0, 255}, true, false},
      {"return", {0xc0, 0, 0, 255}, true, false},
      {"42", {0, 0, 0xff, 255}, false, false},
      {"/* left */", {0, 0xc0, 0, 255}, false, true},
  };
  for (const auto& e : expected) {
    const TextRun* run = RunWith(runs, e.text);
    ASSERT_NE(run, nullptr) << e.text << " in " << text.PlainText();
    ASSERT_TRUE(run->style.color) << e.text;
    EXPECT_EQ(*run->style.color, e.color) << e.text;
    EXPECT_EQ(run->style.bold, e.bold) << e.text;
    EXPECT_EQ(run->style.italic, e.italic) << e.text;
    EXPECT_EQ(run->style.sizePoints, 14.0f) << e.text;
  }
  // Everything the theme leaves plain is black, upright and regular.
  for (const TextRun& run : runs) {
    if (run.text == "(void) {" || run.text == ";") {
      EXPECT_EQ(run.style.color.value_or(Rgba8{1, 1, 1, 1}), (Rgba8{0, 0, 0, 255})) << run.text;
      EXPECT_FALSE(run.style.bold || run.style.italic) << run.text;
    }
  }
  EXPECT_EQ(text.PlainText(), "int pan(void) { return 42; } /* left */");
}

}  // namespace
