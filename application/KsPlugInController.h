#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "KsAppErr.h"
#include "platform/runtime/NativeObject.h"
#include "platform/runtime/ObjectRef.h"
#include "platform/runtime/Protocol.h"

// Finds the plug-in bundles, loads them, lets each bundle's principal class
// register plug-in classes against plug-in APIs, and makes per host one
// instance of every registered class that agrees to serve it.
//
// Bundles are folders with the extension "hcplugin" (see HcBundle), searched
// in "Kestrel/Halcyon/PlugIns" below $XDG_DATA_HOME, then below each
// $XDG_DATA_DIRS entry, then in the application's built-in plug-ins folder.
// A bundle is visited once per controller, whatever came of it: one that
// can't be opened or loaded is skipped with a trace and the rest load on.
// Libraries are loaded on the main thread only; a load asked for elsewhere
// is handed to the main thread. Loaded bundles stay loaded for the run.
//
// The run-time class "KsPlugInController" answers "sharedPlugInController"
// (class method), "loadPlugIns", "registerPlugInAPI:",
// "registerPlugInClass:forAPI:", "instantiatePlugInsForAPI:withHost:",
// "plugInInstancesForHost:" and "closeHostPlugIns:". Hosts are not retained
// and are told apart by identity; a host closes its plug-ins before it goes.
class KsPlugInController : public hc::runtime::NativeObject {
 public:
  static constexpr const char* kBundleExtension = ".hcplugin";
  static constexpr const char* kPlugInsSubfolder = "Kestrel/Halcyon/PlugIns";
  // APIs whose names agree this far share one class list.
  static constexpr size_t kApiNameKeyLength = 64;

  using Instances = std::vector<hc::runtime::ObjectRef>;

  static hc::runtime::Class* GetClass();
  // The controller of the process, made on first use and kept for the run.
  static KsPlugInController* SharedPlugInController();
  // A controller of its own (one reference, owned by the caller).
  static hc::runtime::ObjectRef Make();

  // The application's built-in plug-ins folder, searched last.
  void SetBuiltInPlugInsPath(std::string path) { m_builtInPlugInsPath = std::move(path); }
  // The folders searched, in order, each once.
  std::vector<std::string> PlugInFolders() const;
  // Every "hcplugin" entry of the folders, folder by folder, by name within one.
  std::vector<std::string> AllBundles() const;

  // Loads every bundle not visited yet. On another thread than the main one
  // the load is queued for the main thread and nothing is loaded here.
  eAppErr LoadPlugIns();
  // True when the API was new (it now has an empty class list).
  bool RegisterPlugInAPI(const hc::runtime::Protocol* api);
  // Ignored unless the API adopts "KsPlugInAPI" and the class declares
  // "KsPlugIn". A class registered twice stands twice in the list.
  void RegisterPlugInClass(hc::runtime::Class* cls, const hc::runtime::Protocol* api);
  // The host's instances, made for every class of the API not serving it
  // yet that accepts it; the first use of an API loads the bundles first.
  // Null when the API has no classes and the host had no instances.
  const Instances* InstantiatePlugInsForAPI(const hc::runtime::Protocol* api, hc::runtime::Id host);
  // Null when nothing was made for the host.
  const Instances* PlugInInstancesForHost(hc::runtime::Id host) const;
  // Sends each instance "close", in order, then drops them.
  void CloseHostPlugIns(hc::runtime::Id host);

  // The bundles whose principal class registered, in loading order.
  const std::vector<std::string>& GetLoadedBundlePaths() const { return _loadedBundlePaths; }

 private:
  explicit KsPlugInController(hc::runtime::Class* cls);
  friend struct KsPlugInControllerMethods;

  void LoadBundle(const std::string& path);
  static std::string ApiKey(const hc::runtime::Protocol* api);

  std::vector<std::string> _loadedBundlePaths;
  std::map<std::string, std::vector<hc::runtime::Class*>> _plugInRegistry;
  std::map<hc::runtime::Id, Instances> _plugInInstances;
  std::set<std::string> m_visitedBundles;
  // The update modules of plug-ins that take part in automatic updates:
  // they observe the component's call for modules for the rest of the run.
  std::vector<hc::runtime::ObjectRef> m_updateModules;
  std::string m_builtInPlugInsPath;
};
