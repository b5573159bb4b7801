#include "PlayerTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QThread>
#include <memory>
#include <mutex>

#include "FileTestSupport.h"
#include "HcUserDefaults.h"

namespace PlayerTestSupport {

namespace {

std::vector<HcAlert::Request>& Alerts() {
  static std::vector<HcAlert::Request> alerts;
  return alerts;
}

ScratchFolder& Scratch() {
  static ScratchFolder* folder = new ScratchFolder();
  return *folder;
}

}  // namespace

void InstallAlertRecorder() {
  HcAlert::SetPresenter([](const HcAlert::Request& request) {
    Alerts().push_back(request);
    return 0;
  });
}

void RemoveAlertRecorder() { HcAlert::SetPresenter({}); }

std::vector<HcAlert::Request> TakeAlerts() { return std::exchange(Alerts(), {}); }

const std::string& SampleMovie() {
  static const std::string path = [] {
    const std::string made = Scratch() / "sample.mov";
    RunTool({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=256x128:rate=10:duration=2",
             "-c:v", "libx264", "-pix_fmt", "yuv420p", "-g", "1", made});
    return made;
  }();
  return path;
}

const std::string& TextFileNamedMov() {
  static const std::string path = [] {
    const std::string made = Scratch() / "notes.mov";
    WriteText(made, "These are notes, not a movie.\n");
    return made;
  }();
  return path;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeout.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

void Spin(std::chrono::milliseconds duration) {
  WaitFor([] { return false; }, duration);
}

void ClearUserDefaults() {
  HcUserDefaults& defaults = HcUserDefaults::standardUserDefaults();
  for (const char* key : {"panRate", "firstPersonMouseScale", "firstPersonFullScreen", "zoomRate", "autoPanDelay",
                          "previousAutoPanDelay", "TimeIndicatorFrameDivisions"}) {
    defaults.removeObjectForKey(QString::fromUtf8(key));
  }
}

}  // namespace PlayerTestSupport
