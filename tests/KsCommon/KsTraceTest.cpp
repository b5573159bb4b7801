#include "KsTrace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TestFolder.h"

namespace {

class KsTraceTest : public testing::Test {
 protected:
  void SetUp() override {
    KsTrace::ResetSettings();
    KsTrace::SetOutputSink([this](const std::string& line) {
      std::lock_guard lock(m_mutex);
      m_lines.push_back(line);
    });
  }
  void TearDown() override {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }

  void LoadSettings(const std::string& xml, bool defaultVerbose = false) {
    KsTrace::LoadSettings(m_folder.Write("sampleTraceSettings.xml", xml), defaultVerbose);
  }
  static std::string Settings(const std::string& body) { return "<TraceSettings>\n" + body + "\n</TraceSettings>\n"; }

  std::vector<std::string> Lines() {
    std::lock_guard lock(m_mutex);
    return m_lines;
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
  }

  TestFolder m_folder;

 private:
  std::mutex m_mutex;
  std::vector<std::string> m_lines;
};

TEST_F(KsTraceTest, ReturnAppErrWritesOneLineWhenTheCategoryShowsErrors) {
  LoadSettings(Settings("<KsObject.cpp>Error</KsObject.cpp><Quiet.cpp>Unexpected</Quiet.cpp>"));
  EXPECT_EQ(KsTrace::ReturnAppErr(-2, "/work/source/General/KsObject.cpp", "SetValue", 238), -2);
  EXPECT_EQ(KsTrace::ReturnAppErr(-2, "/work/source/General/Quiet.cpp", "SetValue", 238), -2);
  EXPECT_EQ(KsTrace::ReturnAppErr(-2, "Unlisted.cpp", "SetValue", 238), -2);
  EXPECT_EQ(Lines(), std::vector<std::string>{"KsObject.cpp(238) : SetValue: Returning AppErr -2."});
}

TEST_F(KsTraceTest, NotFoundAndNoValueAreNeverTraced) {
  LoadSettings(Settings(""), /*defaultVerbose=*/true);
  EXPECT_EQ(KsTrace::ReturnAppErr(-607, "A.cpp", "Find", 1), -607);
  EXPECT_EQ(KsTrace::ReturnAppErr(-902, "A.cpp", "GetUUID", 2), -902);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(KsTrace::ReturnAppErr(-609, "A.cpp", "GetAt", 3), -609);
  EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(KsTraceTest, MacrosNameThisFile) {
  LoadSettings(Settings("<KsTraceTest.cpp>Verbose</KsTraceTest.cpp>"));
  const unsigned line = __LINE__ + 1;
  EXPECT_EQ(KS_TRACE_ERR(-903, "Method"), -903);
  KS_TRACE(KsTrace::kWarning, "%@ has %i frames at %.1f fps", PWStringRef("movie"), 12, 29.97);
  const std::vector<std::string> expected = {
      "KsTraceTest.cpp(" + std::to_string(line) + ") : Method: Returning AppErr -903.",
      "KsTraceTest.cpp(" + std::to_string(line + 1) + ") : movie has 12 frames at 30.0 fps",
  };
  EXPECT_EQ(Lines(), expected);
}

struct LevelCase {
  std::string value;
  KsTrace::TraceLevel level;
};

TEST_F(KsTraceTest, LevelValues) {
  const LevelCase cases[] = {
      {"None", KsTrace::kNone},       {"unexpected", KsTrace::kUnexpected}, {"ERROR", KsTrace::kError},
      {"warning", KsTrace::kWarning}, {"Verbose", KsTrace::kVerbose},       {"4", KsTrace::kVerbose},
      {"0x3", KsTrace::kWarning},     {"02", KsTrace::kError},              {" 1 ", KsTrace::kUnexpected},
      {"9", KsTrace::kVerbose},       {"-3", KsTrace::kNone},               {"2abc", KsTrace::kError},
  };
  std::string body;
  for (size_t i = 0; i < std::size(cases); ++i) {
    body += "<C" + std::to_string(i) + ".cpp>" + cases[i].value + "</C" + std::to_string(i) + ".cpp>\n";
  }
  body += "<Bogus.cpp>loud</Bogus.cpp><Empty.cpp></Empty.cpp>";
  LoadSettings(Settings(body), /*defaultVerbose=*/false);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(KsTrace::GetLevelForFile(("C" + std::to_string(i) + ".cpp").c_str()), cases[i].level)
        << cases[i].value;
  }
  // Values that give no level leave the category out of the map.
  EXPECT_EQ(KsTrace::GetLevel("Bogus.cpp"), KsTrace::kNone);
  EXPECT_EQ(KsTrace::GetLevel("Empty.cpp"), KsTrace::kNone);
}

TEST_F(KsTraceTest, CategoriesMatchWithoutRegardToCaseAndTheFirstEntryWins) {
  LoadSettings(Settings("<KSOBJECT.CPP>Warning</KSOBJECT.CPP>\n<KsObject.cpp>Verbose</KsObject.cpp>\n"
                        "<!-- a comment --><HcProperty.h>4</HcProperty.h>"));
  EXPECT_EQ(KsTrace::GetLevel("KsObject.cpp"), KsTrace::kWarning);
  EXPECT_EQ(KsTrace::GetLevelForFile("ksobject.cpp"), KsTrace::kWarning);
  EXPECT_EQ(KsTrace::GetLevel("HcProperty.h"), KsTrace::kVerbose);
  EXPECT_EQ(KsTrace::GetLevel("KsObject"), KsTrace::kNone);  // the extension is part of the name

  KsTrace::Write(KsTrace::kWarning, "src/KsObject.cpp", 10, "shown");
  KsTrace::Write(KsTrace::kVerbose, "src/KsObject.cpp", 11, "dropped");
  KsTrace::Write(KsTrace::kVerbose, "HcProperty.h", 12, "shown too");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"KsObject.cpp(10) : shown", "HcProperty.h(12) : shown too"}));
}

TEST_F(KsTraceTest, DefaultVerboseCoversUnlistedCategories) {
  EXPECT_EQ(KsTrace::GetLevel("Any.cpp"), KsTrace::kNone);
  KsTrace::Write(KsTrace::kNone, "Any.cpp", 1, "level-0 messages always show");
  KsTrace::Write(KsTrace::kUnexpected, "Any.cpp", 2, "dropped");
  LoadSettings(Settings("<Listed.cpp>Error</Listed.cpp>"), /*defaultVerbose=*/true);
  EXPECT_EQ(KsTrace::GetLevel("Any.cpp"), KsTrace::kVerbose);
  EXPECT_EQ(KsTrace::GetLevel("Listed.cpp"), KsTrace::kError);
  EXPECT_EQ(KsTrace::GetLevel(nullptr), KsTrace::kVerbose);
  KsTrace::LoadSettings(nullptr, false);
  EXPECT_EQ(KsTrace::GetLevel("Any.cpp"), KsTrace::kNone);
  EXPECT_EQ(KsTrace::GetLevel("Listed.cpp"), KsTrace::kError);
  EXPECT_EQ(Lines(), std::vector<std::string>{"Any.cpp(1) : level-0 messages always show"});
}

TEST_F(KsTraceTest, UnusableSettingsFilesChangeNothing) {
  const std::string cases[] = {
      "<TraceSettings><A.cpp>Verbose</A.cpp>",                  // not well-formed
      "<traceSettings><A.cpp>Verbose</A.cpp></traceSettings>",  // root name is case-sensitive
      "",
      "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><TraceSettings><A.cpp>&x;</A.cpp></TraceSettings>",
  };
  for (const std::string& xml : cases) {
    KsTrace::ResetSettings();
    LoadSettings(xml);
    EXPECT_EQ(KsTrace::GetLevel("A.cpp"), KsTrace::kNone) << xml;
  }
  KsTrace::LoadSettings(m_folder.File("missing.xml").string(), false);
  EXPECT_EQ(KsTrace::GetLevel("A.cpp"), KsTrace::kNone);
  KsTrace::LoadSettings(m_folder.Path().string(), false);  // a folder
  EXPECT_EQ(KsTrace::GetLevel("A.cpp"), KsTrace::kNone);
}

TEST_F(KsTraceTest, TraceFileReceivesTheLines) {
  const std::string tracePath = m_folder.Write("trace.log", "old contents\n");
  const std::string secondPath = m_folder.File("second.log").string();
  LoadSettings(Settings("<tracefile>" + tracePath + "</tracefile><TraceFile>" + secondPath +
                        "</TraceFile><A.cpp>Error</A.cpp>"));
  KsTrace::ReturnAppErr(-300, "A.cpp", "Open", 5);
  KsTrace::Write(KsTrace::kWarning, "A.cpp", 6, "dropped");
  KsTrace::Write(KsTrace::kError, "A.cpp", 7, "%s", "second");
  EXPECT_EQ(ReadFile(tracePath), "A.cpp(5) : Open: Returning AppErr -300.\nA.cpp(7) : second\n");
  EXPECT_FALSE(std::filesystem::exists(secondPath));
  EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(KsTraceTest, LinesFromManyThreadsStayWhole) {
  const std::string tracePath = m_folder.File("threads.log").string();
  LoadSettings(Settings("<TraceFile>" + tracePath + "</TraceFile>"), /*defaultVerbose=*/true);
  constexpr int kThreads = 8;
  constexpr int kLinesEach = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kLinesEach; ++i) {
        KsTrace::Write(KsTrace::kVerbose, "Worker.cpp", static_cast<unsigned>(t), "thread %i line %i %s", t, i,
                       std::string(100, static_cast<char>('a' + t)));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  std::istringstream file(ReadFile(tracePath));
  std::string line;
  int count = 0;
  while (std::getline(file, line)) {
    // "Worker.cpp(T) : thread T line I " and 100 copies of the thread's letter.
    int lineThread = -1;
    int messageThread = -2;
    int index = -1;
    int consumed = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "Worker.cpp(%d) : thread %d line %d %n", &lineThread, &messageThread, &index,
                          &consumed),
              3)
        << line;
    EXPECT_EQ(lineThread, messageThread) << line;
    EXPECT_EQ(line.substr(static_cast<size_t>(consumed)), std::string(100, static_cast<char>('a' + lineThread)))
        << line;
    ++count;
  }
  EXPECT_EQ(count, kThreads * kLinesEach);
  EXPECT_EQ(Lines().size(), static_cast<size_t>(kThreads * kLinesEach));
}

TEST_F(KsTraceTest, ConsoleOutputGoesToStandardError) {
  KsTrace::SetOutputSink({});
  LoadSettings(Settings("<A.cpp>Error</A.cpp>"));
  testing::internal::CaptureStderr();
  KsTrace::ReturnAppErr(-1, "dir/A.cpp", "Run", 9);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "A.cpp(9) : Run: Returning AppErr -1.\n");
}

TEST(KsTraceCategory, IsTheFileNameAfterTheLastSlash) {
  EXPECT_EQ(KsTrace::CategoryOfFile("/a/b/KsObject.cpp"), "KsObject.cpp");
  EXPECT_EQ(KsTrace::CategoryOfFile("KsObject.cpp"), "KsObject.cpp");
  EXPECT_EQ(KsTrace::CategoryOfFile("dir/"), "");
  EXPECT_EQ(KsTrace::CategoryOfFile(nullptr), "");
}

}  // namespace
