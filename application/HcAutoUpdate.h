#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/PlistValue.h"
#include "platform/runtime/NativeObject.h"
#include "platform/runtime/ObjectRef.h"

// One module that the auto-update component may update (the application,
// the component itself, a plug-in), described to the component from the
// module's description file: a property list holding the installed version
// under "ProductVersion" and the further update elements.
//
// The run-time class "HcAutoUpdate" answers the component's messages:
// "moduleName", "modulePath", "moduleVersion", "moduleUpdateRequestDescription"
// and "moduleNeedsUpdateFromDescription:". Each module observes the
// notification "KsAutoUpdatePackageModule" from any sender and registers
// itself ("registerModule:") with the notification's object when that object
// takes the message. The fields are set once, by the initializer.
class HcAutoUpdate : public hc::runtime::NativeObject {
 public:
  static constexpr const char* kPackageModuleNotification = "KsAutoUpdatePackageModule";
  static constexpr const char* kDescriptionFileType = "autoupdatemoduleinfo";
  // Larger description files are not read.
  static constexpr size_t kMaxDescriptionBytes = 1u << 20;

  static hc::runtime::Class* GetClass();
  // "alloc" and "initModule:withModulePath:withModulePlistPath:" in one.
  static hc::runtime::ObjectRef Create(std::string_view moduleName, std::string_view modulePath,
                                       std::string_view plistPath);
  ~HcAutoUpdate() override;

  const std::string& GetModuleName() const { return _moduleName; }
  const std::string& GetModulePath() const { return _modulePath; }
  // The description's "ProductVersion" text; none when it has no such text.
  std::optional<std::string> GetModuleVersion() const;
  // "<name>-<version>", with "(null)" for a missing version.
  std::string GetModuleUpdateRequestDescription() const;

 private:
  explicit HcAutoUpdate(hc::runtime::Class* cls);
  friend struct HcAutoUpdateMethods;

  void InitModule(std::string_view moduleName, std::string_view modulePath, std::string_view plistPath);
  void PackageListModules(hc::runtime::Id notification);

  hc::foundation::PlistValue _moduleInfo = hc::foundation::PlistValue::NewDictionary();
  std::vector<std::string> _updateElementArray;
  std::string _moduleName;
  std::string _modulePath;
  std::string _plistPath;
  std::string _plistVersionKey;
  bool m_observing = false;
};
