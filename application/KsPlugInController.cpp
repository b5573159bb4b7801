#include "KsPlugInController.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <system_error>

#include "HcAutoUpdate.h"
#include "HcBundle.h"
#include "KsPlugInProtocols.h"
#include "KsTrace.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MainThreadQueue.h"
#include "platform/runtime/MessageSend.h"

namespace fs = std::filesystem;
namespace rt = hc::runtime;

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The data folders of the XDG base-directory rules: the user's first, then
// the system's; relative entries are ignored, as the rules say.
std::vector<std::string> DataFolders() {
  std::vector<std::string> folders;
  std::string home = Environment("XDG_DATA_HOME");
  if (home.empty() || home[0] != '/') {
    const std::string user = Environment("HOME");
    home = user.empty() ? "" : user + "/.local/share";
  }
  if (!home.empty()) folders.push_back(home);
  std::string system = Environment("XDG_DATA_DIRS");
  if (system.empty()) system = "/usr/local/share/:/usr/share/";
  size_t start = 0;
  while (start <= system.size()) {
    const size_t end = std::min(system.find(':', start), system.size());
    const std::string entry = system.substr(start, end - start);
    if (!entry.empty() && entry[0] == '/') folders.push_back(entry);
    start = end + 1;
  }
  return folders;
}

std::string CanonicalForm(const std::string& path) {
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(path, error);
  return error ? fs::path(path).lexically_normal().string() : canonical.string();
}

// A class passed as an object: a class's own class is a metaclass.
rt::Class* AsClass(rt::Id object) {
  rt::Class* kind = rt::ClassOf(object);
  if (!kind || !kind->IsMetaclass()) return nullptr;
  auto* cls = static_cast<rt::Class*>(object);
  return cls->IsMetaclass() ? nullptr : cls;
}

rt::Value InstancesValue(const KsPlugInController::Instances* instances) {
  if (!instances) return rt::Value::Nil();
  rt::ValueArray array;
  for (const rt::ObjectRef& instance : *instances) array.push_back(rt::Value::Object(instance));
  return rt::Value::Array(std::move(array));
}

bool ClassSays(rt::Class* cls, const char* selector, rt::Id argument) {
  rt::Value answer;
  if (rt::RuntimeFailed(rt::Send(rt::ClassAsId(cls), selector, {rt::Value::Object(argument)}, &answer))) {
    return false;
  }
  return answer.GetType() == rt::Value::Type::kBool ? answer.GetBool() : answer.NumberAsInt64() != 0;
}

rt::ObjectRef MakeInstance(rt::Class* cls, rt::Id host) {
  rt::Value allocated;
  rt::Value instance;
  if (rt::RuntimeFailed(rt::Send(rt::ClassAsId(cls), "alloc", {}, &allocated))) return {};
  // The initializer takes over the reference that "alloc" gave.
  const rt::RuntimeErr err = rt::Send(allocated.GetObjectRef().Detach(), "initWithPlugInAPIHost:",
                                      {rt::Value::Object(host)}, &instance);
  if (rt::RuntimeFailed(err)) {
    KS_TRACE(KsTrace::kError, "The plug-in class %s could not be made: %s", cls->GetName(), rt::RuntimeErrName(err));
    return {};
  }
  return instance.GetObjectRef();
}

}  // namespace

// The run-time entries of the class.
struct KsPlugInControllerMethods {
  static KsPlugInController& Self(rt::Id self) { return *static_cast<KsPlugInController*>(self); }

  static rt::RuntimeErr Shared(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
    result = rt::Value::Object(KsPlugInController::SharedPlugInController());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr Load(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value&) {
    Self(self).LoadPlugIns();
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr RegisterAPI(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                    rt::Value& result) {
    const rt::Protocol* api = rt::AsProtocol(arguments[0].GetObject());
    result = rt::Value::Bool(api && Self(self).RegisterPlugInAPI(api));
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr RegisterClass(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                      rt::Value&) {
    Self(self).RegisterPlugInClass(AsClass(arguments[0].GetObject()), rt::AsProtocol(arguments[1].GetObject()));
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr Instantiate(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                    rt::Value& result) {
    const rt::Protocol* api = rt::AsProtocol(arguments[0].GetObject());
    result = api ? InstancesValue(Self(self).InstantiatePlugInsForAPI(api, arguments[1].GetObject()))
                 : rt::Value::Nil();
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr InstancesForHost(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                         rt::Value& result) {
    result = InstancesValue(Self(self).PlugInInstancesForHost(arguments[0].GetObject()));
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr CloseHost(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments, rt::Value&) {
    Self(self).CloseHostPlugIns(arguments[0].GetObject());
    return rt::RuntimeErr::Ok;
  }
};

rt::Class* KsPlugInController::GetClass() {
  static rt::Class* const cls = [] {
    rt::Class* made = nullptr;
    if (rt::RuntimeFailed(rt::MakeClass("KsPlugInController", rt::RootClass(), &made))) return made;
    using M = KsPlugInControllerMethods;
    made->AddMethods({
        {rt::RegisterSelector("loadPlugIns"), "v@:", &M::Load, {}},
        {rt::RegisterSelector("registerPlugInAPI:"), "B@:@", &M::RegisterAPI, {}},
        {rt::RegisterSelector("registerPlugInClass:forAPI:"), "v@:@@", &M::RegisterClass, {}},
        {rt::RegisterSelector("instantiatePlugInsForAPI:withHost:"), "@@:@@", &M::Instantiate, {}},
        {rt::RegisterSelector("plugInInstancesForHost:"), "@@:@", &M::InstancesForHost, {}},
        {rt::RegisterSelector("closeHostPlugIns:"), "v@:@", &M::CloseHost, {}},
    });
    made->GetMetaclass()->AddMethods({
        {rt::RegisterSelector("sharedPlugInController"), "@@:", &M::Shared, {}},
    });
    rt::AddProtocol(made, KsPlugInProtocols::PlugInController());
    // Every protocol of the mechanism exists before the first bundle loads,
    // so plug-ins find them by name.
    KsPlugInProtocols::InputDevicePlugInAPI();
    KsPlugInProtocols::InputDevicePlugIn();
    KsPlugInProtocols::PlugInPrincipal();
    KsPlugInProtocols::AutoUpdatingPlugIn();
    return made;
  }();
  return cls;
}

KsPlugInController::KsPlugInController(rt::Class* cls) : NativeObject(cls) {}

KsPlugInController* KsPlugInController::SharedPlugInController() {
  static KsPlugInController* const shared = new KsPlugInController(GetClass());
  return shared;
}

rt::ObjectRef KsPlugInController::Make() { return rt::ObjectRef::Adopt(new KsPlugInController(GetClass())); }

std::vector<std::string> KsPlugInController::PlugInFolders() const {
  std::vector<std::string> candidates;
  for (const std::string& data : DataFolders()) candidates.push_back((fs::path(data) / kPlugInsSubfolder).string());
  if (!m_builtInPlugInsPath.empty()) candidates.push_back(m_builtInPlugInsPath);
  std::vector<std::string> folders;
  std::set<std::string> seen;
  for (const std::string& folder : candidates) {
    if (seen.insert(CanonicalForm(folder)).second) folders.push_back(folder);
  }
  return folders;
}

std::vector<std::string> KsPlugInController::AllBundles() const {
  std::vector<std::string> bundles;
  for (const std::string& folder : PlugInFolders()) {
    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      if (it->path().extension() == kBundleExtension) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) bundles.push_back(folder + "/" + name);
  }
  return bundles;
}

eAppErr KsPlugInController::LoadPlugIns() {
  if (!rt::MainThreadQueue::IsMainThread()) {
    KS_TRACE(KsTrace::kWarning, "Plug-ins are loaded on the main thread; the load is handed to it");
    rt::MainThreadQueue::Post([controller = rt::ObjectRef(this)] {
      static_cast<KsPlugInController*>(controller.Get())->LoadPlugIns();
    });
    return AppErr::kNoErr;
  }
  for (const std::string& path : AllBundles()) {
    if (m_visitedBundles.insert(CanonicalForm(path)).second) LoadBundle(path);
  }
  return AppErr::kNoErr;
}

void KsPlugInController::LoadBundle(const std::string& path) {
  const std::string name = fs::path(path).filename().string();
  HcBundle bundle;
  eAppErr err = HcBundle::Open(path, &bundle);
  if (!AppErrFailed(err)) err = bundle.Load();
  if (AppErrFailed(err)) {
    KS_TRACE(KsTrace::kError, "Error loading plug-in %s: %i", name, err);
    return;
  }
  rt::Class* principal = bundle.GetPrincipalClass();
  if (!principal) {
    KS_TRACE(KsTrace::kError, "The plug-in %s has no principal class", name);
    return;
  }
  if (rt::ConformsToProtocol(principal, KsPlugInProtocols::AutoUpdatingPlugIn())) {
    rt::Value moduleName;
    rt::Send(rt::ClassAsId(principal), "moduleName", {}, &moduleName);
    if (moduleName.GetType() == rt::Value::Type::kString) {
      const std::string& module = moduleName.GetString();
      m_updateModules.push_back(HcAutoUpdate::Create(
          module, path, bundle.PathForResource(module, HcAutoUpdate::kDescriptionFileType)));
    } else {
      KS_TRACE(KsTrace::kError, "The plug-in %s gives no module name", name);
    }
  }
  if (!rt::ConformsToProtocol(principal, KsPlugInProtocols::PlugInPrincipal())) return;
  const rt::RuntimeErr sent =
      rt::Send(rt::ClassAsId(principal), "registerPlugInsWithController:", {rt::Value::Object(this)}, nullptr);
  if (rt::RuntimeFailed(sent)) {
    KS_TRACE(KsTrace::kError, "The plug-in %s did not register: %s", name, rt::RuntimeErrName(sent));
    return;
  }
  _loadedBundlePaths.push_back(path);
}

std::string KsPlugInController::ApiKey(const rt::Protocol* api) {
  return api->GetName().substr(0, kApiNameKeyLength);
}

bool KsPlugInController::RegisterPlugInAPI(const rt::Protocol* api) {
  if (!api) return false;
  return _plugInRegistry.try_emplace(ApiKey(api)).second;
}

void KsPlugInController::RegisterPlugInClass(rt::Class* cls, const rt::Protocol* api) {
  if (!cls || !api || !api->ConformsTo(KsPlugInProtocols::PlugInAPI()) ||
      !rt::ConformsToProtocol(cls, KsPlugInProtocols::PlugIn())) {
    return;
  }
  RegisterPlugInAPI(api);
  _plugInRegistry[ApiKey(api)].push_back(cls);
}

const KsPlugInController::Instances* KsPlugInController::InstantiatePlugInsForAPI(const rt::Protocol* api,
                                                                                  rt::Id host) {
  if (!api) return PlugInInstancesForHost(host);
  if (RegisterPlugInAPI(api)) LoadPlugIns();
  if (_plugInInstances.contains(host)) KS_TRACE(KsTrace::kWarning, "Plug-ins already instantiated!");
  const auto classes = _plugInRegistry.find(ApiKey(api));
  if (classes == _plugInRegistry.end()) return PlugInInstancesForHost(host);
  Instances& instances = _plugInInstances[host];
  for (rt::Class* cls : classes->second) {
    const bool serving = std::any_of(instances.begin(), instances.end(),
                                     [cls](const rt::ObjectRef& made) { return rt::ClassOf(made.Get()) == cls; });
    if (serving || !ClassSays(cls, "shouldInstantiateForAPIHost:", host)) continue;
    if (rt::ObjectRef instance = MakeInstance(cls, host)) instances.push_back(std::move(instance));
  }
  return &instances;
}

const KsPlugInController::Instances* KsPlugInController::PlugInInstancesForHost(rt::Id host) const {
  const auto found = _plugInInstances.find(host);
  return found == _plugInInstances.end() ? nullptr : &found->second;
}

void KsPlugInController::CloseHostPlugIns(rt::Id host) {
  const auto found = _plugInInstances.find(host);
  if (found == _plugInInstances.end()) return;
  // Taken out first, so that a plug-in closing can't reach a half-closed entry.
  Instances instances = std::move(found->second);
  _plugInInstances.erase(found);
  for (const rt::ObjectRef& instance : instances) rt::Send(instance.Get(), "close", {}, nullptr);
}
