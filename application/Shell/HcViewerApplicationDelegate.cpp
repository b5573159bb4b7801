#include "HcViewerApplicationDelegate.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QVariantMap>
#include <cstdlib>

#include "DiskImageLaunchCheck.h"
#include "HcAlert.h"
#include "HcAutoUpdate.h"
#include "HcMainBundle.h"
#include "HcProxyCalls.h"
#include "HcUserDefaults.h"
#include "NSWorkspace_QzAdditions.h"
#include "platform/runtime/ClassRegistry.h"

namespace rt = hc::runtime;

namespace {

HcViewerApplicationDelegate::LaunchServices& Services() {
  static HcViewerApplicationDelegate::LaunchServices services;
  return services;
}

void RunIfSet(const std::function<void()>& hook) {
  if (hook) hook();
}

QVariantMap VariantMapFromDictionary(const hc::foundation::PlistValue& dictionary) {
  QVariantMap map;
  if (const auto* items = dictionary.AsDictionary()) {
    for (const auto& [key, value] : *items) {
      if (const std::string* text = value.AsString()) map.insert(QString::fromStdString(key), QString::fromStdString(*text));
    }
  }
  return map;
}

void OpenWebPage(const char* path) {
  QDesktopServices::openUrl(QUrl(QString::fromUtf8(HcViewerApplicationDelegate::kWebSite) + QString::fromUtf8(path)));
}

}  // namespace

void HcViewerApplicationDelegate::SetLaunchServices(LaunchServices services) { Services() = std::move(services); }

const HcViewerApplicationDelegate::LaunchServices& HcViewerApplicationDelegate::GetLaunchServices() {
  return Services();
}

HcViewerApplicationDelegate::HcViewerApplicationDelegate(QObject* parent) : QObject(parent) {
  HcUserDefaults::standardUserDefaults().registerDefaults({{QString::fromUtf8(kUseAutoUpdateKey), true}});
}

HcViewerApplicationDelegate::~HcViewerApplicationDelegate() {
  if (m_updateCheckThread.joinable()) m_updateCheckThread.join();
}

void HcViewerApplicationDelegate::applicationWillFinishLaunching() {
  const NSWorkspace_QzAdditions workspace;
  const DiskImageLaunchCheck check(workspace);
  const auto localize = [](std::string_view text) {
    return QCoreApplication::translate("HcViewerApplicationDelegate", std::string(text).c_str()).toStdString();
  };
  const auto present = [](const DiskImageLaunchCheck::Alert& alert) {
    HcAlert::Run({nullptr, QString::fromStdString(alert.title), QString::fromStdString(alert.message), {},
                  {QString::fromStdString(alert.button)}});
  };
  check.RefuseUnlessLaunchable(HcMainBundle::bundlePath().toStdString(), HcMainBundle::processName().toStdString(),
                               localize, present);
  loadPlugIns();
  setupPanoSourceMode();
}

void HcViewerApplicationDelegate::applicationDidFinishLaunching() {
  showSplashWindow();
  if (HcUserDefaults::standardUserDefaults().boolForKey(QString::fromUtf8(kUseAutoUpdateKey))) {
    std::lock_guard guard(m_lock);
    if (!m_updateCheckThread.joinable()) {
      m_updateCheckThread = std::thread([this] { CheckForUpdate(true); });
    }
  }
  RunIfSet(Services().checkForCrash);
}

HcError HcViewerApplicationDelegate::willPresentError(const HcError& error) const {
  return error.underlyingError ? *error.underlyingError : error;
}

void HcViewerApplicationDelegate::loadPlugIns() {
  RunIfSet(Services().loadPlugIns);
  const std::string applicationDescription =
      HcMainBundle::pathForResource(QString::fromUtf8(AutoUpdateRegistration::kApplicationModuleName),
                                    QString::fromUtf8(HcAutoUpdate::kDescriptionFileType))
          .toStdString();
  const auto registerDefaults = [](const hc::foundation::PlistValue& defaults) {
    HcUserDefaults::standardUserDefaults().registerDefaults(VariantMapFromDictionary(defaults));
  };
  std::lock_guard guard(m_lock);
  m_autoUpdate.RegisterModules(HcMainBundle::builtInPlugInsPath().toStdString(),
                               HcMainBundle::bundlePath().toStdString(), applicationDescription, registerDefaults);
}

QString HcViewerApplicationDelegate::autoUpdateBundlePath() const {
  const std::string path = AutoUpdateRegistration::AutoUpdateBundlePath(HcMainBundle::builtInPlugInsPath().toStdString());
  return path.empty() ? QString() : QString::fromStdString(path);
}

void HcViewerApplicationDelegate::setupPanoSourceMode() {
  if (rt::Class* sourceClass = rt::LookUpClass("C_PanoSource")) {
    HcProxyCalls::Call(rt::ClassAsId(sourceClass), "creatorMode:", {rt::Value::Bool(false)});
  }
}

QString HcViewerApplicationDelegate::appVersion() const {
  std::lock_guard guard(m_lock);
  if (rt::Id module = m_autoUpdate.GetApplicationModule()) {
    const rt::Value version = HcProxyCalls::Call(module, "moduleVersion");
    if (version.GetType() == rt::Value::Type::kString) return QString::fromStdString(version.GetString());
  }
  return QCoreApplication::applicationVersion();
}

rt::Id HcViewerApplicationDelegate::autoUpdatePrincipalClassInstance() const {
  std::lock_guard guard(m_lock);
  return m_autoUpdate.GetAutoUpdatePrincipalClassInstance();
}

void HcViewerApplicationDelegate::checkForUpdates() {
  if (!autoUpdatePrincipalClassInstance()) loadPlugIns();
  CheckForUpdate(false);
}

// The check started at launch runs on its own thread; it never loads the
// component there (launching already tried, on the main thread, where the
// plug-in controller lives).
void HcViewerApplicationDelegate::CheckForUpdate(bool automatic) {
  rt::ObjectRef instance;
  {
    std::lock_guard guard(m_lock);
    instance = rt::ObjectRef(m_autoUpdate.GetAutoUpdatePrincipalClassInstance());
  }
  if (instance) HcProxyCalls::Call(instance.Get(), "checkForUpdate:", {rt::Value::Bool(automatic)});
}

void HcViewerApplicationDelegate::showSplashWindow() { RunIfSet(Services().showSplashWindow); }

void HcViewerApplicationDelegate::showFeedbackWindow() { RunIfSet(Services().showFeedbackWindow); }

void HcViewerApplicationDelegate::showHalcyonCreatorDocumentation() {
  OpenWebPage("/halcyon/HalcyonCreatorUsersGuide.pdf");
}

void HcViewerApplicationDelegate::gotoKestrel() { OpenWebPage("/"); }

void HcViewerApplicationDelegate::gotoKestrelForums() { OpenWebPage("/forum/"); }

void HcViewerApplicationDelegate::crash() { std::abort(); }
