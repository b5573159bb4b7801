#include "ShellTestSupport.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return condition();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

QImage GrabNativeWindow(WId window) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return screen->grabWindow(window).toImage().convertToFormat(QImage::Format_RGB32);
}
