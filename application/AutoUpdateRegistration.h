#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "KsAppErr.h"
#include "platform/foundation/PlistValue.h"
#include "platform/runtime/ObjectRef.h"

// The hand-off to the auto-update component at launch. The component lives
// outside the player, as the bundle "AutoUpdate.bundle" in the application's
// built-in plug-ins folder. When that bundle is there, the update defaults
// are registered, the bundle is loaded, one instance of its principal class
// is made, the modules of the application ("HalcyonPlayer") and of the
// component (named by the principal class's "moduleName") are described, and
// "KsAutoUpdatePackageModule" is posted with the instance, so that every live
// module (plug-ins' too) registers itself with it. Without the bundle
// nothing is registered, described or posted, and launching goes on.
class AutoUpdateRegistration {
 public:
  static constexpr const char* kBundleName = "AutoUpdate.bundle";
  static constexpr const char* kApplicationModuleName = "HalcyonPlayer";
  static constexpr const char* kUpdatesBaseUrlKey = "UpdatesBaseURL";
  static constexpr const char* kUpdatesPathKey = "UpdatesPath";
  static constexpr const char* kUpdatesBaseUrl = "https://www.halcyonplayer.invalid/updates";
  static constexpr const char* kUpdatesPath = "~/Library/Application Support/Kestrel/Updates";

  // Registers a dictionary of defaults (the user-defaults layer's own).
  using DefaultsRegistrar = std::function<void(const hc::foundation::PlistValue&)>;

  // The component bundle's path; "" unless it names a folder.
  static std::string AutoUpdateBundlePath(std::string_view builtInPlugInsPath);
  // "UpdatesBaseURL" and "UpdatesPath", for the component; the player reads neither.
  static hc::foundation::PlistValue UpdateDefaults();

  // The hand-off described above. The application module's description is
  // the file at `applicationDescriptionPath`. No bundle is success with
  // nothing done; a bundle that can't be loaded or has no principal class
  // answers its error, with nothing described or posted.
  eAppErr RegisterModules(std::string_view builtInPlugInsPath, std::string_view applicationPath,
                          std::string_view applicationDescriptionPath, const DefaultsRegistrar& registerDefaults);

  hc::runtime::Id GetAutoUpdatePrincipalClassInstance() const { return autoUpdatePrincipalClassInstance.Get(); }
  hc::runtime::Id GetApplicationModule() const { return _applicationModule.Get(); }
  hc::runtime::Id GetAutoUpdateModule() const { return _autoUpdateModule.Get(); }

 private:
  hc::runtime::ObjectRef autoUpdatePrincipalClassInstance;
  hc::runtime::ObjectRef _applicationModule;
  hc::runtime::ObjectRef _autoUpdateModule;
};
