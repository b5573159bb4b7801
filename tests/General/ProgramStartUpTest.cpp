#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "General/ProgramStartUp.h"
#include "KsTrace.h"

namespace {

// Runs start-up in a scratch working directory, optionally holding a trace
// settings file, and collects what the trace facility writes afterwards.
class ProgramStartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previous = std::filesystem::current_path();
    m_folder = std::filesystem::temp_directory_path() / ("startup." + std::to_string(::getpid()));
    std::filesystem::create_directories(m_folder);
    std::filesystem::current_path(m_folder);
    KsTrace::ResetSettings();
    KsTrace::SetOutputSink([this](const std::string& line) { lines.push_back(line); });
  }
  void TearDown() override {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
    std::filesystem::current_path(m_previous);
    std::filesystem::remove_all(m_folder);
  }

  std::vector<std::string> lines;

 private:
  std::filesystem::path m_previous;
  std::filesystem::path m_folder;
};

TEST_F(ProgramStartUpTest, WithoutSettingsTracesNothingAndClassesAreKnown) {
  StartUpProcess();
  EXPECT_EQ(std::this_thread::get_id(), MainThreadId());
  EXPECT_TRUE(HcClassMap::FindClassObject("KsObject"));
  KS_TRACE_ERR(AppErr::kBadArgument, "SetValue");
  EXPECT_TRUE(lines.empty());
}

TEST_F(ProgramStartUpTest, ReadsTheTraceSettingsOfTheWorkingDirectory) {
  std::ofstream("sampleTraceSettings.xml")
      << "<?xml version=\"1.0\"?>\n<TraceSettings><ProgramStartUpTest.cpp>Error</ProgramStartUpTest.cpp>"
         "</TraceSettings>\n";
  StartUpProcess();
  KS_TRACE_ERR(AppErr::kBadArgument, "SetValue");
  ASSERT_EQ(1u, lines.size());
  EXPECT_NE(std::string::npos, lines[0].find("SetValue: Returning AppErr -2."));
}

}  // namespace
