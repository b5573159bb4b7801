// The suite's own main: the process is started as the player starts it
// (classes registered, main-thread queue driven by Qt's event loop) under a
// QApplication, with alerts recorded instead of shown and user defaults kept
// apart from the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "General/ProgramStartUp.h"
#include "HcMainThreadPump.h"
#include "PlayerTestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  StartUpProcess();
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("KestrelTest"));
  QCoreApplication::setApplicationName(QStringLiteral("HalcyonPlayerTest"));
  application.setQuitOnLastWindowClosed(false);
  int status = 0;
  {
    HcMainThreadPump pump;
    PlayerTestSupport::InstallAlertRecorder();
    status = RUN_ALL_TESTS();
    PlayerTestSupport::RemoveAlertRecorder();
  }
  QCoreApplication::processEvents();
#if defined(__SANITIZE_ADDRESS__)
  // Leaks are looked for while the OpenGL driver is still loaded, so that
  // the driver's own are known by its name; the application object's
  // teardown unloads it.
  __lsan_do_leak_check();
#endif
  return status;
}
