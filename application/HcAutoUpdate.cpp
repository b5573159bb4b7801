#include "HcAutoUpdate.h"

#include <fstream>
#include <iterator>
#include <span>
#include <system_error>
#include <filesystem>

#include "KsTrace.h"
#include "NotificationCenter.h"
#include "platform/foundation/PlistXml.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;
namespace hf = hc::foundation;

namespace {

constexpr const char* kVersionKey = "ProductVersion";
constexpr const char* kUpdateControllerClass = "KsAutoUpdateController";
constexpr const char* kUpdateElements[] = {
    "Name",        "ModuleUpdateName",    "DisplayName",  "DisplayVersion", "Description",
    "InfoURL",     "DownloadURL",         "DownloadFingerprint", "DownloadFingerprintType",
    "DownloadSize", "InstallBase",        "InstallOrder", "ForceAppQuit",   "Requirements",
};

// The description's dictionary; an empty one when the file is missing, too
// large, or no property-list dictionary.
hf::PlistValue ReadDescription(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error || !std::filesystem::is_regular_file(path, error) || size > HcAutoUpdate::kMaxDescriptionBytes) {
    KS_TRACE(KsTrace::kWarning, "No module description read from %s", path);
    return hf::PlistValue::NewDictionary();
  }
  std::ifstream file(path, std::ios::binary);
  std::string text;
  text.reserve(static_cast<size_t>(size));
  text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  hf::PlistValue value;
  if (text.size() > HcAutoUpdate::kMaxDescriptionBytes || hf::FoundationFailed(hf::PlistXml::Read(text, &value)) ||
      !value.AsDictionary()) {
    KS_TRACE(KsTrace::kWarning, "The module description %s is no property-list dictionary", path);
    return hf::PlistValue::NewDictionary();
  }
  return value;
}

rt::Value OptionalString(const std::optional<std::string>& text) {
  return text ? rt::Value::String(*text) : rt::Value::Nil();
}

std::string StringArgument(const rt::Value& value) {
  return value.GetType() == rt::Value::Type::kString ? value.GetString() : std::string();
}

}  // namespace

// The run-time entries of the class.
struct HcAutoUpdateMethods {
  static HcAutoUpdate& Self(rt::Id self) { return *static_cast<HcAutoUpdate*>(self); }

  static rt::RuntimeErr Alloc(rt::Id cls, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
    result = rt::Value::AdoptObject(new HcAutoUpdate(static_cast<rt::Class*>(cls)));
    return rt::RuntimeErr::Ok;
  }

  // Takes over the caller's reference and hands it back, as "init" does.
  static rt::RuntimeErr InitModule(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                   rt::Value& result) {
    Self(self).InitModule(StringArgument(arguments[0]), StringArgument(arguments[1]), StringArgument(arguments[2]));
    result = rt::Value::AdoptObject(self);
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr PackageListModules(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                           rt::Value&) {
    Self(self).PackageListModules(arguments[0].GetObject());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr ModuleName(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
    result = rt::Value::String(Self(self).GetModuleName());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr ModulePath(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
    result = rt::Value::String(Self(self).GetModulePath());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr ModuleVersion(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
    result = OptionalString(Self(self).GetModuleVersion());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr RequestDescription(rt::Id self, const rt::Method&, std::span<const rt::Value>,
                                           rt::Value& result) {
    result = rt::Value::String(Self(self).GetModuleUpdateRequestDescription());
    return rt::RuntimeErr::Ok;
  }

  // What the component's controller class makes of the update description;
  // nil without that class.
  static rt::RuntimeErr NeedsUpdate(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                    rt::Value& result) {
    result = rt::Value::Nil();
    rt::Class* controller = rt::LookUpClass(kUpdateControllerClass);
    if (!controller) return rt::RuntimeErr::Ok;
    rt::Value parsed;
    const rt::RuntimeErr err = rt::Send(rt::ClassAsId(controller), "parsedArrayForModule:fromModuleUpdateString:",
                                        {rt::Value::Object(self), arguments[0]}, &parsed);
    if (rt::RuntimeFailed(err)) {
      KS_TRACE(KsTrace::kWarning, "%s refused the update description: %s", kUpdateControllerClass,
               rt::RuntimeErrName(err));
      return rt::RuntimeErr::Ok;
    }
    result = std::move(parsed);
    return rt::RuntimeErr::Ok;
  }
};

rt::Class* HcAutoUpdate::GetClass() {
  static rt::Class* const cls = [] {
    rt::Class* made = nullptr;
    if (rt::RuntimeFailed(rt::MakeClass("HcAutoUpdate", rt::RootClass(), &made))) return made;
    using M = HcAutoUpdateMethods;
    made->AddMethods({
        {rt::RegisterSelector("initModule:withModulePath:withModulePlistPath:"), "@@:@@@", &M::InitModule, {}},
        {rt::RegisterSelector("packageListModules:"), "v@:@", &M::PackageListModules, {}},
        {rt::RegisterSelector("moduleName"), "@@:", &M::ModuleName, {}},
        {rt::RegisterSelector("modulePath"), "@@:", &M::ModulePath, {}},
        {rt::RegisterSelector("moduleVersion"), "@@:", &M::ModuleVersion, {}},
        {rt::RegisterSelector("moduleUpdateRequestDescription"), "@@:", &M::RequestDescription, {}},
        {rt::RegisterSelector("moduleNeedsUpdateFromDescription:"), "@@:@", &M::NeedsUpdate, {}},
    });
    made->GetMetaclass()->AddMethods({
        {rt::RegisterSelector("alloc"), "@@:", &M::Alloc, {}},
        {rt::RegisterSelector("new"), "@@:", &M::Alloc, {}},
    });
    return made;
  }();
  return cls;
}

HcAutoUpdate::HcAutoUpdate(rt::Class* cls) : NativeObject(cls) {}

HcAutoUpdate::~HcAutoUpdate() {
  if (m_observing) NotificationCenter::DefaultCenter().RemoveObserver(this);
}

rt::ObjectRef HcAutoUpdate::Create(std::string_view moduleName, std::string_view modulePath,
                                   std::string_view plistPath) {
  rt::Value allocated;
  rt::Value module;
  rt::Send(rt::ClassAsId(GetClass()), "alloc", {}, &allocated);
  rt::Send(allocated.GetObjectRef().Detach(), "initModule:withModulePath:withModulePlistPath:",
           {rt::Value::String(std::string(moduleName)), rt::Value::String(std::string(modulePath)),
            rt::Value::String(std::string(plistPath))},
           &module);
  return module.GetObjectRef();
}

// A module is described once: a second initializer call changes nothing, so
// the fields need no lock.
void HcAutoUpdate::InitModule(std::string_view moduleName, std::string_view modulePath, std::string_view plistPath) {
  if (m_observing) return;
  _moduleInfo = ReadDescription(std::string(plistPath));
  _moduleName = moduleName;
  _modulePath = modulePath;
  _plistPath = plistPath;
  _plistVersionKey = kVersionKey;
  _updateElementArray.assign(std::begin(kUpdateElements), std::end(kUpdateElements));
  m_observing = true;
  NotificationCenter::DefaultCenter().AddObserver(this, rt::RegisterSelector("packageListModules:"),
                                                  kPackageModuleNotification, nullptr);
}

void HcAutoUpdate::PackageListModules(rt::Id notification) {
  rt::Value component;
  if (rt::RuntimeFailed(rt::Send(notification, "object", {}, &component))) return;
  const rt::Selector registerModule = rt::RegisterSelector("registerModule:");
  if (!rt::RespondsTo(component.GetObject(), registerModule)) return;
  const rt::Value arguments[] = {rt::Value::Object(this)};
  const rt::RuntimeErr err = rt::Send(component.GetObject(), registerModule, arguments, nullptr);
  if (rt::RuntimeFailed(err)) {
    KS_TRACE(KsTrace::kWarning, "The update component refused the module %s: %s", _moduleName,
             rt::RuntimeErrName(err));
  }
}

std::optional<std::string> HcAutoUpdate::GetModuleVersion() const {
  const hf::PlistValue* version = _moduleInfo.GetItem(_plistVersionKey);
  if (!version || !version->AsString()) return std::nullopt;
  return *version->AsString();
}

std::string HcAutoUpdate::GetModuleUpdateRequestDescription() const {
  return _moduleName + "-" + GetModuleVersion().value_or("(null)");
}
