#include <gtest/gtest.h>

#include <QApplication>

#include "ShellTestSupport.h"

// The widgets need an application object on the main thread for the whole run.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication::setAttribute(Qt::AA_DontCheckOpenGLContextThreadAffinity);
  QApplication application(argc, argv);
  QCoreApplication::setOrganizationName("HalcyonPlayerTests");
  QCoreApplication::setApplicationName("shell_test");
  return RUN_ALL_TESTS();
}
