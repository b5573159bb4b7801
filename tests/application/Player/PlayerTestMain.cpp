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
  return status;
}
