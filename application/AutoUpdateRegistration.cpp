#include "AutoUpdateRegistration.h"

#include <filesystem>
#include <system_error>

#include "HcAutoUpdate.h"
#include "HcBundle.h"
#include "KsTrace.h"
#include "NotificationCenter.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;
namespace hf = hc::foundation;

namespace {

rt::ObjectRef MakeInstance(rt::Class* cls) {
  rt::Value allocated;
  rt::Value instance;
  if (rt::RuntimeFailed(rt::Send(rt::ClassAsId(cls), "alloc", {}, &allocated))) return {};
  // "init" takes over the reference that "alloc" gave.
  if (rt::RuntimeFailed(rt::Send(allocated.GetObjectRef().Detach(), "init", {}, &instance))) return {};
  return instance.GetObjectRef();
}

}  // namespace

std::string AutoUpdateRegistration::AutoUpdateBundlePath(std::string_view builtInPlugInsPath) {
  if (builtInPlugInsPath.empty()) return {};
  const std::string path = std::string(builtInPlugInsPath) + "/" + kBundleName;
  std::error_code error;
  return std::filesystem::is_directory(path, error) ? path : std::string();
}

hf::PlistValue AutoUpdateRegistration::UpdateDefaults() {
  hf::PlistValue defaults = hf::PlistValue::NewDictionary();
  defaults.SetItem(kUpdatesBaseUrlKey, hf::PlistValue::FromString(kUpdatesBaseUrl));
  defaults.SetItem(kUpdatesPathKey, hf::PlistValue::FromString(kUpdatesPath));
  return defaults;
}

eAppErr AutoUpdateRegistration::RegisterModules(std::string_view builtInPlugInsPath, std::string_view applicationPath,
                                                std::string_view applicationDescriptionPath,
                                                const DefaultsRegistrar& registerDefaults) {
  const std::string bundlePath = AutoUpdateBundlePath(builtInPlugInsPath);
  if (bundlePath.empty()) return AppErr::kNoErr;
  HcBundle bundle;
  if (const eAppErr err = HcBundle::Open(bundlePath, &bundle); AppErrFailed(err)) {
    return KS_TRACE_ERR(err, "RegisterModules");
  }
  if (registerDefaults) registerDefaults(UpdateDefaults());
  if (const eAppErr err = bundle.Load(); AppErrFailed(err)) return KS_TRACE_ERR(err, "RegisterModules");
  rt::Class* principal = bundle.GetPrincipalClass();
  rt::ObjectRef instance = principal ? MakeInstance(principal) : rt::ObjectRef();
  if (!instance) return KS_TRACE_ERR(AppErr::kNotReady, "RegisterModules");
  autoUpdatePrincipalClassInstance = instance;

  _applicationModule = HcAutoUpdate::Create(kApplicationModuleName, applicationPath, applicationDescriptionPath);
  rt::Value componentName;
  rt::Send(rt::ClassAsId(principal), "moduleName", {}, &componentName);
  if (componentName.GetType() == rt::Value::Type::kString) {
    const std::string& name = componentName.GetString();
    _autoUpdateModule = HcAutoUpdate::Create(name, bundlePath,
                                             bundle.PathForResource(name, HcAutoUpdate::kDescriptionFileType));
  } else {
    KS_TRACE(KsTrace::kWarning, "The update component at %s gives no module name", bundlePath);
  }
  NotificationCenter::DefaultCenter().Post(HcAutoUpdate::kPackageModuleNotification,
                                           autoUpdatePrincipalClassInstance.Get());
  return AppErr::kNoErr;
}
