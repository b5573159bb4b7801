#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <mutex>
#include <thread>

#include "AutoUpdateRegistration.h"
#include "HcError.h"

class QVariant;

// The delegate of the player's application: prepares the process before the
// first document opens (user defaults, the refusal to run from a read-only
// disk image, plug-ins and the auto-update component, the sources' creator
// mode), starts the background work once launching has finished (splash
// window, update check, crash-log check) and serves the application-wide
// menu commands.
//
// The splash window, the plug-in controller and the feedback reporter plug
// in through LaunchServices; a hook left empty is skipped.
class HcViewerApplicationDelegate : public QObject {
  Q_OBJECT
 public:
  struct LaunchServices {
    std::function<void()> loadPlugIns;         // the plug-in controller's loadPlugIns
    std::function<void()> showSplashWindow;    // with the window "HcViewerSplashWindow"
    std::function<void()> showFeedbackWindow;  // the feedback reporter's window
    std::function<void()> checkForCrash;       // the offer to send a new crash log
  };
  static void SetLaunchServices(LaunchServices services);
  static const LaunchServices& GetLaunchServices();

  static constexpr const char* kUseAutoUpdateKey = "KsUseAutoUpdate";
  static constexpr const char* kWebSite = "https://www.halcyonplayer.invalid";

  // Registers "KsUseAutoUpdate" = YES.
  explicit HcViewerApplicationDelegate(QObject* parent = nullptr);
  // Waits for the update check started at launch.
  ~HcViewerApplicationDelegate() override;

  // Launch steps before documents open; refusing to run exits the process.
  void applicationWillFinishLaunching();
  // Launch steps once launching finished.
  void applicationDidFinishLaunching();

  bool applicationIsEditor() const { return false; }
  bool applicationShouldOpenUntitledFile() const { return false; }
  bool applicationShouldTerminateAfterLastWindowClosed() const { return false; }

  // The error to show for one the application is about to present: the
  // error it wraps when there is one, so the user sees the cause.
  HcError willPresentError(const HcError& error) const;

  void loadPlugIns();
  QString autoUpdateBundlePath() const;
  void setupPanoSourceMode();
  QString appVersion() const;
  hc::runtime::Id autoUpdatePrincipalClassInstance() const;

 public slots:
  // From the menu: on the main thread, loading the component first when
  // launching left none.
  void checkForUpdates();
  void showSplashWindow();
  void showFeedbackWindow();
  void showHalcyonCreatorDocumentation();
  void gotoKestrel();
  void gotoKestrelForums();
  void crash();

 private:
  void CheckForUpdate(bool automatic);

  mutable std::mutex m_lock;
  AutoUpdateRegistration m_autoUpdate;
  std::thread m_updateCheckThread;
};
