#include <gtest/gtest.h>
#include <zlib.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QSettings>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "KsBugReporter.h"
#include "KsRecentDocuments.h"
#include "KsSystemFacts.h"
#include "LoopbackHttpServer.h"
#include "QtTestEnvironment.h"
#include "platform/foundation/PlistXml.h"

namespace fs = std::filesystem;

namespace {

struct Part {
  std::string name;
  std::string fileName;  // "-" for none
  std::string contentType;  // "-" for none
  std::string data;
};

std::string HeaderValue(const std::string& head, const std::string& key) {
  const size_t at = head.find(key + "=\"");
  if (at == std::string::npos) return "-";
  const size_t start = at + key.size() + 2;
  return head.substr(start, head.find('"', start) - start);
}

// Reads the body as a form parser would: delimiter lines, part heads and
// data, and exactly one closing delimiter at the very end.
std::vector<Part> ParseForm(const std::string& body, const std::string& boundary) {
  const std::string open = "--" + boundary + "\r\n";
  const std::string next = "\r\n--" + boundary + "\r\n";
  const std::string close = "\r\n--" + boundary + "--\r\n";
  std::vector<Part> parts;
  if (body.compare(0, open.size(), open) != 0 || body.size() < close.size() ||
      body.compare(body.size() - close.size(), close.size(), close) != 0 ||
      body.find("--" + boundary + "--") != body.size() - close.size() + 2) {
    ADD_FAILURE() << "not one form with one closing delimiter";
    return parts;
  }
  const std::string inner = body.substr(open.size(), body.size() - open.size() - close.size());
  for (size_t start = 0; start <= inner.size();) {
    const size_t end = std::min(inner.find(next, start), inner.size());
    const std::string chunk = inner.substr(start, end - start);
    const size_t headEnd = chunk.find("\r\n\r\n");
    const std::string head = chunk.substr(0, headEnd);
    Part part{HeaderValue(head, "name"), HeaderValue(head, "filename"), "-", chunk.substr(headEnd + 4)};
    const size_t type = head.find("\r\nContent-Type: ");
    if (type != std::string::npos) part.contentType = head.substr(type + 16);
    parts.push_back(part);
    start = end + next.size();
  }
  return parts;
}

std::string Gunzip(const std::string& data) {
  z_stream zip{};
  inflateInit2(&zip, 15 + 16);
  zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zip.avail_in = static_cast<uInt>(data.size());
  std::string out;
  char buffer[65536];
  int status = Z_OK;
  while (status == Z_OK) {
    zip.next_out = reinterpret_cast<Bytef*>(buffer);
    zip.avail_out = sizeof buffer;
    status = inflate(&zip, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - zip.avail_out);
  }
  inflateEnd(&zip);
  EXPECT_EQ(Z_STREAM_END, status);
  return out;
}

std::vector<std::string> Names(const std::vector<Part>& parts) {
  std::vector<std::string> names;
  for (const Part& part : parts) names.push_back(part.name);
  return names;
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

class FeedbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings().clear();
    KsRecentDocuments::clearRecentDocuments();
    QSettings().setValue(KsBugReporter::kFeedbackServerKey, QStringLiteral("http://127.0.0.1:%1/").arg(m_server.port()));
    fs::remove_all(CrashFolder());
  }
  void TearDown() override {
    QSettings().clear();
    fs::remove_all(CrashFolder());
  }
  static std::string CrashFolder() { return QtTestEnvironment::Path("state/HalcyonPlayer/CrashReports"); }

  // Sends and waits for the answer; the parts of the one request posted.
  std::vector<Part> Send(KsBugReporter& reporter, bool expectSent) {
    bool finished = false;
    bool sent = false;
    QObject listening;
    QObject::connect(&reporter, &KsBugReporter::feedbackFinished, &listening, [&](bool ok, const QString&) {
      finished = true;
      sent = ok;
    });
    reporter.showReportWindow();
    reporter.sendFeedback();
    EXPECT_TRUE(finished);
    EXPECT_EQ(expectSent, sent) << Utf8(reporter.lastResultMessage());
    if (m_server.requests().isEmpty()) return {};
    const LoopbackHttpServer::Request& request = m_server.requests().back();
    EXPECT_EQ("POST", request.method.toStdString());
    EXPECT_EQ("/halcyon/reportfeedback.php", request.path.toStdString());
    EXPECT_EQ("HalcyonPlayer", request.headers.value("user-agent").toStdString());
    const std::string contentType = request.headers.value("content-type").toStdString();
    const std::string prefix = "multipart/form-data; boundary=";
    EXPECT_EQ(0u, contentType.find(prefix));
    return ParseForm(request.body.toStdString(), contentType.substr(prefix.size()));
  }

  LoopbackHttpServer m_server;
};

}  // namespace

TEST_F(FeedbackTest, APlainReportPostsTheNineFieldsInOrder) {
  KsBugReporter reporter;
  reporter.setFeedbackSubject(QStringLiteral("Zoom jumps"));
  reporter.setEmailAddress(QStringLiteral("ada@example.org"));
  reporter.showReportWindow();
  reporter.setFeedbackMessage(QStringLiteral("Zooming with the wheel jumps — twice."));
  const std::vector<Part> parts = [&] {
    bool finished = false;
    QObject listening;
    QObject::connect(&reporter, &KsBugReporter::feedbackFinished, &listening,
                     [&](bool, const QString&) { finished = true; });
    reporter.sendFeedback();
    EXPECT_TRUE(finished);
    const auto& request = m_server.requests().value(0);
    const std::string contentType = request.headers.value("content-type").toStdString();
    EXPECT_EQ("multipart/form-data; boundary=0xKhTmLbOuNdArY", contentType);
    return ParseForm(request.body.toStdString(), "0xKhTmLbOuNdArY");
  }();
  ASSERT_EQ(1, m_server.requests().size());
  EXPECT_EQ((std::vector<std::string>{"user_name", "machine_name", "app_name", "app_version", "platform",
                                      "report_type", "subject", "email", "report_message"}),
            Names(parts));
  ASSERT_EQ(9u, parts.size());
  EXPECT_EQ(KsSystemFacts::UserFullName(), parts[0].data);
  EXPECT_EQ(KsSystemFacts::MachineName(), parts[1].data);
  EXPECT_EQ("HalcyonPlayer", parts[2].data);
  EXPECT_EQ("1.0.3", parts[3].data);
  EXPECT_EQ(KsSystemFacts().PlatformDescription(), parts[4].data);
  EXPECT_EQ("General Feedback", parts[5].data);
  EXPECT_EQ("Zoom jumps", parts[6].data);
  EXPECT_EQ("ada@example.org", parts[7].data);
  EXPECT_EQ("Zooming with the wheel jumps — twice.", parts[8].data);
  for (const Part& part : parts) {
    EXPECT_EQ("-", part.fileName) << part.name;
    EXPECT_EQ("-", part.contentType) << part.name;
  }
  EXPECT_EQ("ada@example.org", Utf8(QSettings().value("KsFeedbackEmailAddress").toString()));
  EXPECT_EQ("Sent successfully. Thank you for your feedback!", Utf8(reporter.lastResultMessage()));
  EXPECT_FALSE(reporter.feedbackWindow()->isVisible());
}

TEST_F(FeedbackTest, EveryAttachmentTravelsInItsPlace) {
  fs::create_directories(CrashFolder());
  WriteText(CrashFolder() + "/HalcyonPlayer.crash.log", "one\n\n**********\n\ntwo\n\n**********\n\nthree");
  ScratchFolder documents;
  fs::create_directories(documents / "Tour.mov");
  WriteText(documents / "Tour.mov/Project.hcproj", "<project/>");
  KsRecentDocuments::noteNewRecentDocumentURL(QUrl::fromLocalFile(QString::fromStdString(documents / "Tour.mov")));
  WriteText(documents / "notes.qqqunknown", "my notes");

  KsBugReporter reporter;
  reporter.setConsoleLogSource([] { return std::optional<std::string>("2026-12-10 03:00:00 <L3>: failed\n"); });
  reporter.setFeedbackType(QStringLiteral("Crash Report"));
  reporter.setFeedbackType(QStringLiteral("Bug Report"));
  reporter.setAttachSystemProfile(true);
  reporter.setAttachUserSelectedFile(true);
  reporter.setUserSelectedFilePath(QString::fromStdString(documents / "notes.qqqunknown"));
  const std::vector<Part> parts = Send(reporter, true);
  EXPECT_EQ((std::vector<std::string>{"user_name", "machine_name", "app_name", "app_version", "platform",
                                      "report_type", "subject", "email", "report_message", "crash_log", "console_log",
                                      "system_profile", "project_file", "attached_file[]"}),
            Names(parts));
  ASSERT_EQ(14u, parts.size());
  EXPECT_EQ("Bug Report", parts[5].data);
  EXPECT_EQ("three", parts[9].data);
  EXPECT_EQ("-", parts[9].fileName);
  const struct {
    const char* fileName;
    const char* contentType;
  } files[] = {{"console.log.gz", "application/gzip"},
               {"sysprofile.spx.gz", "application/gzip"},
               {"Project.hcproj.gz", "application/gzip"},
               {"notes.qqqunknown", "-"}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(files[i].fileName, parts[10 + i].fileName);
    EXPECT_EQ(files[i].contentType, parts[10 + i].contentType);
  }
  EXPECT_EQ("2026-12-10 03:00:00 <L3>: failed\n", Gunzip(parts[10].data));
  hc::foundation::PlistValue profile;
  ASSERT_FALSE(hc::foundation::FoundationFailed(hc::foundation::PlistXml::Read(Gunzip(parts[11].data), &profile)));
  EXPECT_NE(nullptr, profile.GetItem("KernelRelease"));
  EXPECT_EQ("<project/>", Gunzip(parts[12].data));
  EXPECT_EQ("my notes", parts[13].data);
  // The compressed files were made under unique names and are gone.
  const QStringList left = QDir(QString::fromStdString(QtTestEnvironment::Path("tmp")))
                               .entryList({QStringLiteral("*.gz.*")}, QDir::Files | QDir::Hidden);
  EXPECT_TRUE(left.isEmpty()) << Utf8(left.join(QLatin1Char(' ')));
}

TEST_F(FeedbackTest, AFailedSendIsReportedAndTheReportStays) {
  m_server.setStatus(500);
  KsBugReporter reporter;
  reporter.setFeedbackSubject(QStringLiteral("kept"));
  const std::vector<Part> parts = Send(reporter, false);
  EXPECT_EQ(9u, parts.size());
  EXPECT_NE(std::string::npos, Utf8(reporter.lastResultMessage()).find("500"));
  EXPECT_TRUE(reporter.feedbackWindow()->isVisible());
  EXPECT_EQ("kept", Utf8(reporter.feedbackSubject()));

  // Nobody listening.
  QSettings().setValue(KsBugReporter::kFeedbackServerKey, QStringLiteral("http://127.0.0.1:1"));
  Send(reporter, false);
  EXPECT_EQ(1, m_server.requests().size());

  // A file that can't be read sends nothing.
  QSettings().setValue(KsBugReporter::kFeedbackServerKey, QStringLiteral("http://127.0.0.1:%1").arg(m_server.port()));
  reporter.setAttachUserSelectedFile(true);
  reporter.setUserSelectedFilePath(QStringLiteral("/nonexistent/file.txt"));
  Send(reporter, false);
  EXPECT_EQ(1, m_server.requests().size());
  EXPECT_NE(std::string::npos, Utf8(reporter.lastResultMessage()).find("/nonexistent/file.txt"));
}

TEST_F(FeedbackTest, TheReportTypeOnlyEverTurnsAttachmentsOn) {
  KsBugReporter reporter;
  EXPECT_EQ("General Feedback", Utf8(reporter.feedbackType()));
  reporter.setFeedbackType(QStringLiteral("Crash Report"));
  EXPECT_TRUE(reporter.attachCrashLog());
  EXPECT_TRUE(reporter.attachConsoleLog());
  EXPECT_FALSE(reporter.attachLastProjectFile());
  reporter.setFeedbackType(QStringLiteral("Bug Report"));
  EXPECT_TRUE(reporter.attachCrashLog());
  EXPECT_TRUE(reporter.attachLastProjectFile());
  reporter.setFeedbackType(QStringLiteral("General Feedback"));
  EXPECT_TRUE(reporter.attachCrashLog());
  EXPECT_FALSE(reporter.attachSystemProfile());
  EXPECT_TRUE(reporter.allowCancel());
}

TEST_F(FeedbackTest, TheLaunchCheckOffersOnlyReportsNewerThanTheLastCheck) {
  const char* key = KsBugReporter::kLastCrashReportDateKey;
  KsBugReporter* shared = KsBugReporter::defaultBugReporter();
  const auto shown = [shared] { return shared->feedbackWindow() && shared->feedbackWindow()->isVisible(); };

  // No crash report folder: nothing shown, nothing stored.
  KsBugReporter::checkForCrash();
  EXPECT_FALSE(shown());
  EXPECT_FALSE(QSettings().contains(key));

  // A report older than the last check: nothing shown, the check time moves to now.
  fs::create_directories(CrashFolder());
  WriteText(CrashFolder() + "/HalcyonPlayer_1.crash", "old");
  SetTimes(CrashFolder() + "/HalcyonPlayer_1.crash", 1700000000, 1700000000);
  QSettings().setValue(key, 1700000001.5);
  const double before = static_cast<double>(QDateTime::currentSecsSinceEpoch()) - 1;
  KsBugReporter::checkForCrash();
  EXPECT_FALSE(shown());
  EXPECT_GE(QSettings().value(key).toDouble(), before);

  // A report a few seconds newer than the last check is offered, however
  // close the two times are.
  QSettings().setValue(key, 1700000099.0);
  SetTimes(CrashFolder() + "/HalcyonPlayer_1.crash", 1700000100, 1700000100);
  KsBugReporter::checkForCrash();
  ASSERT_TRUE(shown());
  EXPECT_EQ("Crash Report", Utf8(shared->feedbackType()));
  EXPECT_EQ("HalcyonPlayer Crash Report", Utf8(shared->feedbackSubject()));
  EXPECT_TRUE(shared->attachCrashLog());
  EXPECT_NE(std::string::npos, Utf8(shared->feedbackWindowMessage()).find("crashed the last time"));
  EXPECT_EQ(QStringList{QStringLiteral("HalcyonPlayer_1.crash")}, KsBugReporter::crashReportFiles());
  shared->cancel();
  EXPECT_FALSE(shown());
}
