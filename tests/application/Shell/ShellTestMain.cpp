#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "General/ProgramStartUp.h"
#include "HcMainThreadPump.h"

// Started as the player starts: classes registered, the main-thread queue
// driven by Qt's event loop, user defaults kept apart from the user's.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  StartUpProcess();
  QCoreApplication::setAttribute(Qt::AA_DontCheckOpenGLContextThreadAffinity);
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName("HalcyonPlayerTests");
  QCoreApplication::setApplicationName("shell_test");
  application.setQuitOnLastWindowClosed(false);
  int status = 0;
  {
    HcMainThreadPump pump;
    status = RUN_ALL_TESTS();
  }
  return status;
}
