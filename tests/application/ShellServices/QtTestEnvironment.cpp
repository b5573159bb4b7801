// One QApplication for the suite, made when the first test runs (listing
// the tests needs no display), with its settings, state and temporary
// folders in a scratch folder of its own.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "FileTestSupport.h"
#include "KsBugReporter.h"
#include "QtTestEnvironment.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    m_folder = std::make_unique<ScratchFolder>();
    for (const char* name : {"config", "state", "tmp", "data"}) std::filesystem::create_directories(*m_folder / name);
    setenv("XDG_CONFIG_HOME", (*m_folder / "config").c_str(), 1);
    setenv("XDG_STATE_HOME", (*m_folder / "state").c_str(), 1);
    setenv("XDG_DATA_HOME", (*m_folder / "data").c_str(), 1);
    setenv("TMPDIR", (*m_folder / "tmp").c_str(), 1);
    unsetenv("http_proxy");
    unsetenv("HTTP_PROXY");
    static int argc = 1;
    static char name[] = "HalcyonPlayer";
    static char* argv[] = {name, nullptr};
    QApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationName(QStringLiteral("HalcyonPlayer"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.3"));
    m_application = std::make_unique<QApplication>(argc, argv);
    QtTestEnvironment::scratch = m_folder.get();
  }
  void TearDown() override {
    // Windows are taken down while the application still runs, as the
    // player's are when it quits.
    delete KsBugReporter::defaultBugReporter();
    m_application.reset();
    QtTestEnvironment::scratch = nullptr;
    m_folder.reset();
  }

 private:
  std::unique_ptr<ScratchFolder> m_folder;
  std::unique_ptr<QApplication> m_application;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment());

}  // namespace

ScratchFolder* QtTestEnvironment::scratch = nullptr;

// What the session bus library keeps for the process once Qt's platform
// theme has asked it; not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
