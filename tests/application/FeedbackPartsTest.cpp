#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "KsConsoleLog.h"
#include "KsCrashReports.h"
#include "KsGzip.h"
#include "KsMultipartForm.h"
#include "KsSystemFacts.h"
#include "KsTemporaryFile.h"
#include "platform/foundation/PlistXml.h"

namespace fs = std::filesystem;
namespace hf = hc::foundation;

TEST(KsMultipartForm, EachPartOpensWithItsDelimiterAndOneDelimiterClosesTheBody) {
  KsMultipartForm form;
  form.AppendInput("user_name", "Ada");
  form.AppendFile("console_log", "console.log.gz", "application/gzip", std::string("\x1f\x8b\0z", 4));
  form.AppendFile("attached_file[]", "notes.zzz", std::nullopt, "n");
  EXPECT_EQ("multipart/form-data; boundary=0xKhTmLbOuNdArY", form.GetContentType());
  static constexpr char kExpected[] =
                        "--0xKhTmLbOuNdArY\r\n"
                        "Content-Disposition: form-data; name=\"user_name\";\r\n\r\n"
                        "Ada\r\n"
                        "--0xKhTmLbOuNdArY\r\n"
                        "Content-Disposition: form-data; name=\"console_log\";filename=\"console.log.gz\";\r\n"
                        "Content-Type: application/gzip\r\n\r\n"
                        "\x1f\x8b\0z\r\n"
                        "--0xKhTmLbOuNdArY\r\n"
                        "Content-Disposition: form-data; name=\"attached_file[]\";filename=\"notes.zzz\";\r\n\r\n"
                        "n\r\n"
                        "--0xKhTmLbOuNdArY--\r\n";
  EXPECT_EQ(std::string(kExpected, sizeof kExpected - 1), form.GetBody());
}

TEST(KsMultipartForm, NoPartCanHoldTheBoundaryOrBreakItsHeaders) {
  KsMultipartForm form;
  form.AppendInput("a", "text\r\n--0xKhTmLbOuNdArY--\r\nmore 0xKhTmLbOuNdArY-0");
  form.AppendFile("b", "evil\"\r\nX-Injected: 1.txt", std::nullopt, "");
  const std::string boundary = form.GetBoundary();
  EXPECT_EQ("0xKhTmLbOuNdArY-1", boundary);
  const std::string body = form.GetBody();
  EXPECT_EQ(0u, body.find("--" + boundary + "\r\n"));
  EXPECT_EQ(body.size() - boundary.size() - 6, body.find("--" + boundary + "--\r\n"));
  EXPECT_NE(std::string::npos, body.find("filename=\"evil%22%0D%0AX-Injected: 1.txt\";"));
  EXPECT_EQ(std::string::npos, body.find("\r\nX-Injected"));
}

class CrashReportsTest : public ::testing::Test {
 protected:
  std::string Report(const std::string& name, const std::string& text, int64_t modified) {
    const std::string path = m_folder / name;
    WriteText(path, text);
    SetTimes(path, modified, modified);
    return path;
  }
  ScratchFolder m_folder;
  KsCrashReports m_reports{m_folder.Path(), "HalcyonPlayer"};
};

TEST_F(CrashReportsTest, TheNewestReportIsTheOneChangedLast) {
  Report("HalcyonPlayer_2024-01-09.crash", "old", 1700000000);
  Report("HalcyonPlayer_2023-12-31.crash", "newest", 1700000500);
  Report("HalcyonPlayer_2024-01-01.crash", "middle", 1700000100);
  Report("OtherApp_2025.crash", "other", 1800000000);
  Report("halcyonplayer_2025.crash", "lower case", 1800000000);
  fs::create_directories(m_folder / "HalcyonPlayer folder");
  EXPECT_EQ((std::vector<std::string>{"HalcyonPlayer_2023-12-31.crash", "HalcyonPlayer_2024-01-01.crash",
                                      "HalcyonPlayer_2024-01-09.crash"}),
            m_reports.CrashReportFiles());
  EXPECT_TRUE(m_reports.HasCrashReport());
  EXPECT_NEAR(1700000500.0, *m_reports.NewestReportTime(), 1.0);
  EXPECT_EQ("newest", *m_reports.LastCrashReport());
}

TEST_F(CrashReportsTest, ACrashLogFileHoldsSeveralReportsAndTheLastIsTheNewest) {
  Report("HalcyonPlayer.crash.log", "first\n\n**********\n\nsecond\n\n**********\n\nthird\n", 1700000000);
  EXPECT_EQ("third\n", *m_reports.LastCrashReport());
  Report("HalcyonPlayer.crash.log", "only one", 1700000000);
  EXPECT_EQ("only one", *m_reports.LastCrashReport());
  // Other files are whole, separators and all.
  Report("HalcyonPlayer.crash", "a\n\n**********\n\nb", 1700000900);
  EXPECT_EQ("a\n\n**********\n\nb", *m_reports.LastCrashReport());
}

TEST(KsCrashReports, AMissingFolderHoldsNoReports) {
  const KsCrashReports reports("/nonexistent/crash/reports", "HalcyonPlayer");
  EXPECT_TRUE(reports.CrashReportFiles().empty());
  EXPECT_FALSE(reports.NewestReportTime());
  EXPECT_FALSE(reports.LastCrashReport());
}

TEST(KsGzip, WritesWhatTheGzipToolReads) {
  ScratchFolder folder;
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "line " + std::to_string(i) + "\n";
  ASSERT_EQ(AppErr::kNoErr, KsGzip::CompressBytes(text, folder / "bytes.gz"));
  WriteRandomFile(folder / "random", 300000, 7);
  ASSERT_EQ(AppErr::kNoErr, KsGzip::CompressFile(folder / "random", folder / "file.gz"));
  ASSERT_EQ(AppErr::kNoErr, KsGzip::CompressBytes("", folder / "empty.gz"));
  for (const char* name : {"bytes.gz", "file.gz", "empty.gz"}) {
    ASSERT_EQ(0, RunTool({"gzip", "-d", folder / name})) << name;
  }
  EXPECT_EQ(text, ReadText(folder / "bytes"));
  EXPECT_EQ(ReadText(folder / "random"), ReadText(folder / "file"));
  EXPECT_EQ("", ReadText(folder / "empty"));
  EXPECT_EQ(AppErr::kNotFound, KsGzip::CompressFile(folder / "missing", folder / "missing.gz"));
  EXPECT_EQ(AppErr::kNotFound, KsGzip::CompressFile(folder.Path(), folder / "folder.gz"));
}

TEST(KsTemporaryFile, EachFileHasAUniqueNameAndGoesWithItsObject) {
  std::string first;
  {
    const KsTemporaryFile a("console.log.gz");
    const KsTemporaryFile b("console.log.gz");
    ASSERT_FALSE(a.GetPath().empty());
    EXPECT_NE(a.GetPath(), b.GetPath());
    EXPECT_EQ(0, fs::file_size(a.GetPath()));
    EXPECT_EQ(0600, static_cast<int>(StatOf(a.GetPath()).st_mode & 0777));
    first = a.GetPath();
  }
  EXPECT_FALSE(fs::exists(first));
}

TEST(KsSystemFacts, ThePlatformAndProfileComeFromTheSystemsFiles) {
  ScratchFolder root;
  fs::create_directories(root / "etc");
  fs::create_directories(root / "proc/sys/kernel");
  fs::create_directories(root / "sys/class/drm/card0/device");
  fs::create_directories(root / "sys/class/drm/card0-HDMI-A-1");
  WriteText(root / "etc/os-release",
            "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n");
  WriteText(root / "proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
  WriteText(root / "proc/cpuinfo", "processor\t: 0\nmodel name\t: Test CPU @ 3.00GHz\n\nprocessor\t: 1\n"
                                   "model name\t: Test CPU @ 3.00GHz\n");
  WriteText(root / "proc/meminfo", "MemTotal:       16314564 kB\nMemFree:          100 kB\n");
  WriteText(root / "sys/class/drm/card0/device/vendor", "0x1af4\n");
  WriteText(root / "sys/class/drm/card0/device/device", "0x1050\n");
  const KsSystemFacts facts(root.Path());
  EXPECT_EQ("Debian GNU/Linux 12 (Build 6.1.0-18-amd64)", facts.PlatformDescription());

  hf::PlistValue profile;
  ASSERT_FALSE(hf::FoundationFailed(hf::PlistXml::Read(facts.SystemProfileXml(), &profile)));
  const auto text = [&profile](const char* key) {
    const hf::PlistValue* item = profile.GetItem(key);
    return item && item->AsString() ? *item->AsString() : std::string("<none>");
  };
  EXPECT_EQ("Debian GNU/Linux 12 (bookworm)", text("SystemName"));
  EXPECT_EQ("6.1.0-18-amd64", text("KernelRelease"));
  EXPECT_EQ("Test CPU @ 3.00GHz", text("ProcessorName"));
  EXPECT_EQ("16314564 kB", text("Memory"));
  EXPECT_EQ("<none>", text("MachineModel"));
  ASSERT_NE(nullptr, profile.GetItem("ProcessorCount"));
  EXPECT_EQ(2, *profile.GetItem("ProcessorCount")->AsInteger());
  const hf::PlistValue* graphics = profile.GetItem("Graphics");
  ASSERT_NE(nullptr, graphics);
  ASSERT_EQ(1u, graphics->AsArray()->size());
  EXPECT_EQ("card0 0x1af4:0x1050", *(*graphics->AsArray())[0].AsString());

  // With nothing to read the description still reads as one.
  EXPECT_EQ("Linux  (Build )", KsSystemFacts("/nonexistent").PlatformDescription());
}

TEST(KsConsoleLog, KeepsThePlayersSendersInOneLineEach) {
  for (const char* sender : {"HalcyonPlayer", "org.kestrel.halcyon.tracker", "Halcyon"}) {
    EXPECT_TRUE(KsConsoleLog::IsOurSender(sender)) << sender;
  }
  for (const char* sender : {"", "systemd", "orgXkestrel", "halcyon"}) {
    EXPECT_FALSE(KsConsoleLog::IsOurSender(sender)) << sender;
  }
  const std::string line = KsConsoleLog::FormatLine(1700000000.5, 3, "movie failed");
  EXPECT_EQ(" <L3>: movie failed", line.substr(19));
  EXPECT_EQ(19u, line.find(' ', 11));
  // Whatever this machine's journal holds, what is read keeps that form.
  if (const std::optional<std::string> log = KsConsoleLog::Read()) {
    EXPECT_EQ('\n', log->back());
    EXPECT_NE(std::string::npos, log->find(" <L"));
  }
}
