#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "FileTestSupport.h"
#include "HcAutoUpdate.h"
#include "KsInputDeviceManager.h"
#include "KsPlugInController.h"
#include "KsPlugInProtocols.h"
#include "KsTrace.h"
#include "NotificationCenter.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MainThreadQueue.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"

namespace fs = std::filesystem;
namespace rt = hc::runtime;

namespace {

using Paths = std::vector<std::string>;

// Sets an environment variable for the life of the object, then puts back
// what was there.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    Set(value);
  }
  ~ScopedEnvironment() { Set(m_old); }

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      setenv(m_name, value->c_str(), 1);
    } else {
      unsetenv(m_name);
    }
  }
  const char* m_name;
  std::optional<std::string> m_old;
};

int ClassCount(const char* className, const char* selector) {
  rt::Value count;
  rt::Send(rt::ClassAsId(rt::LookUpClass(className)), selector, {}, &count);
  return count.GetInt();
}

std::vector<std::string> ClassNames(const KsPlugInController::Instances* instances) {
  std::vector<std::string> names;
  if (instances) {
    for (const rt::ObjectRef& instance : *instances) names.push_back(rt::ClassOf(instance.Get())->GetName());
  }
  return names;
}

// Keeps the request text of every module that registers with it.
class ModuleRecorder : public rt::NativeObject {
 public:
  static rt::ObjectRef Make() { return rt::ObjectRef::Adopt(new ModuleRecorder()); }
  static ModuleRecorder& Of(const rt::ObjectRef& ref) { return *static_cast<ModuleRecorder*>(ref.Get()); }
  std::vector<std::string> modules;

 private:
  ModuleRecorder() : NativeObject(GetClass()) {}
  static rt::Class* GetClass() {
    static rt::Class* const cls = [] {
      rt::Class* made = nullptr;
      rt::MakeClass("PlugInTestModuleRecorder", rt::RootClass(), &made);
      made->AddMethods({{rt::RegisterSelector("registerModule:"), "v@:@", &Register, {}}});
      return made;
    }();
    return cls;
  }
  static rt::RuntimeErr Register(rt::Id self, const rt::Method&, std::span<const rt::Value> a, rt::Value&) {
    rt::Value text;
    rt::Send(a[0].GetObject(), "moduleUpdateRequestDescription", {}, &text);
    static_cast<ModuleRecorder*>(self)->modules.push_back(text.GetString());
    return rt::RuntimeErr::Ok;
  }
};

class PlugInTest : public ::testing::Test {
 protected:
  void SetUp() override { rt::MainThreadQueue::MarkMainThread(); }

  std::string Home() const { return m_root / "home/Kestrel/Halcyon/PlugIns"; }
  std::string Local() const { return m_root / "local/Kestrel/Halcyon/PlugIns"; }
  std::string System() const { return m_root / "system/Kestrel/Halcyon/PlugIns"; }
  std::string BuiltIn() const { return m_root / "app/PlugIns"; }

  // A bundle folder holding a copy of the library and a property list
  // naming it and the principal class; "" leaves the property list out.
  static std::string MakeBundle(const std::string& folder, const std::string& name, const char* library,
                                const std::string& principal) {
    const std::string bundle = folder + "/" + name;
    fs::create_directories(bundle + "/Resources");
    if (!principal.empty()) {
      WriteText(bundle + "/Info.plist",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                "<key>CFBundleExecutable</key><string>plugin.so</string>"
                "<key>NSPrincipalClass</key><string>" + principal + "</string></dict></plist>\n");
      fs::copy_file(library, bundle + "/plugin.so");
    }
    return bundle;
  }

  static void Describe(const std::string& bundle, const std::string& version) {
    WriteText(bundle + "/Resources/TestUpdatingPlugIn.autoupdatemoduleinfo",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
              "<key>ProductVersion</key><string>" + version + "</string></dict></plist>\n");
  }

  KsPlugInController& Controller() { return *static_cast<KsPlugInController*>(m_controller.Get()); }

  // Bundles of every kind, in every folder: the tracker in the user's folder
  // and again in the application's; an updating plug-in in the local
  // folder and an updating principal that doesn't register in the
  // application's; a library that can't be loaded and a folder without a
  // property list, which are skipped.
  void MakeEveryBundle() {
    MakeBundle(Home(), "Tracker.hcplugin", HC_TEST_PLUGIN_TRACKER, "TestTrackerPrincipal");
    MakeBundle(Home(), "Broken.hcplugin", HC_TEST_PLUGIN_BROKEN, "TestBrokenPrincipal");
    Describe(MakeBundle(Local(), "Updating.hcplugin", HC_TEST_PLUGIN_UPDATING, "TestUpdatingPrincipal"), "1.2");
    MakeBundle(Local(), "Empty.hcplugin", HC_TEST_PLUGIN_UPDATING, "");
    Describe(MakeBundle(BuiltIn(), "Loner.hcplugin", HC_TEST_PLUGIN_UPDATING, "TestUpdatingLoner"), "3.0");
    MakeBundle(BuiltIn(), "Tracker.hcplugin", HC_TEST_PLUGIN_TRACKER, "TestTrackerPrincipal");
  }

  ScratchFolder m_root;
  ScopedEnvironment m_home{"XDG_DATA_HOME", m_root / "home"};
  ScopedEnvironment m_dirs{"XDG_DATA_DIRS", m_root / "local:" + m_root / "system:relative:" + m_root / "local/"};
  rt::ObjectRef m_controller = [this] {
    rt::ObjectRef controller = KsPlugInController::Make();
    static_cast<KsPlugInController*>(controller.Get())->SetBuiltInPlugInsPath(BuiltIn());
    return controller;
  }();
};

}  // namespace

TEST_F(PlugInTest, FoldersFollowTheDataFoldersThenTheApplicationsOwn) {
  EXPECT_EQ((Paths{Home(), Local(), System(), BuiltIn()}), Controller().PlugInFolders());
  {
    // Without the variables: the user's ~/.local/share, then /usr/local/share and /usr/share.
    ScopedEnvironment home("XDG_DATA_HOME", std::nullopt);
    ScopedEnvironment dirs("XDG_DATA_DIRS", "");
    ScopedEnvironment user("HOME", m_root / "user");
    EXPECT_EQ((Paths{m_root / "user/.local/share/Kestrel/Halcyon/PlugIns", "/usr/local/share/Kestrel/Halcyon/PlugIns",
                     "/usr/share/Kestrel/Halcyon/PlugIns", BuiltIn()}),
              Controller().PlugInFolders());
  }
}

TEST_F(PlugInTest, OnlyHcpluginEntriesDirectlyInEachFolderAreBundles) {
  fs::create_directories(Home() + "/b.hcplugin");
  fs::create_directories(Home() + "/a.hcplugin");
  fs::create_directories(Local() + "/c.hcplugin");
  fs::create_directories(Local() + "/D.HCPLUGIN");
  fs::create_directories(Local() + "/nested/e.hcplugin");
  fs::create_directories(Local() + "/hcplugin");
  WriteText(Local() + "/notes.txt", "");
  fs::create_directories(BuiltIn() + "/a.hcplugin");
  EXPECT_EQ((Paths{Home() + "/a.hcplugin", Home() + "/b.hcplugin", Local() + "/c.hcplugin", BuiltIn() + "/a.hcplugin"}),
            Controller().AllBundles());
}

TEST_F(PlugInTest, EveryBundleIsVisitedOnceAndBrokenOnesAreSkippedWithATrace) {
  MakeEveryBundle();
  ScratchFolder settings;
  std::vector<std::string> lines;
  WriteText(settings / "trace.xml", "<TraceSettings><KsPlugInController.cpp>Error</KsPlugInController.cpp></TraceSettings>");
  KsTrace::LoadSettings(PWStringRef((settings / "trace.xml").c_str()), false);
  KsTrace::SetOutputSink([&lines](const std::string& line) { lines.push_back(line); });
  ASSERT_EQ(AppErr::kNoErr, Controller().LoadPlugIns());
  KsTrace::SetOutputSink({});
  KsTrace::ResetSettings();

  EXPECT_EQ((Paths{Home() + "/Tracker.hcplugin", Local() + "/Updating.hcplugin", BuiltIn() + "/Tracker.hcplugin"}),
            Controller().GetLoadedBundlePaths());
  const auto mentions = [&lines](const std::string& text) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != l.npos; });
  };
  EXPECT_EQ(1, mentions("Error loading plug-in Broken.hcplugin"));
  EXPECT_EQ(1, mentions("Error loading plug-in Empty.hcplugin"));

  // Both updating principals described their module; a second load visits
  // nothing again, the principal that doesn't register included.
  const int registrations = ClassCount("TestUpdatingPrincipal", "registrations");
  ASSERT_EQ(AppErr::kNoErr, Controller().LoadPlugIns());
  EXPECT_EQ(registrations, ClassCount("TestUpdatingPrincipal", "registrations"));
  EXPECT_EQ(3u, Controller().GetLoadedBundlePaths().size());
  rt::ObjectRef component = ModuleRecorder::Make();
  NotificationCenter::DefaultCenter().Post(HcAutoUpdate::kPackageModuleNotification, component.Get());
  EXPECT_EQ((Paths{"TestUpdatingPlugIn-1.2", "TestUpdatingPlugIn-3.0"}), ModuleRecorder::Of(component).modules);

  // A bundle added later loads with the next call.
  MakeBundle(System(), "Late.hcplugin", HC_TEST_PLUGIN_UPDATING, "TestUpdatingPrincipal");
  ASSERT_EQ(AppErr::kNoErr, Controller().LoadPlugIns());
  EXPECT_EQ(System() + "/Late.hcplugin", Controller().GetLoadedBundlePaths().back());
  EXPECT_EQ(registrations + 1, ClassCount("TestUpdatingPrincipal", "registrations"));
}

TEST_F(PlugInTest, ALoadAskedForOffTheMainThreadRunsOnTheMainThread) {
  MakeBundle(Home(), "Tracker.hcplugin", HC_TEST_PLUGIN_TRACKER, "TestTrackerPrincipal");
  std::thread([this] { Controller().LoadPlugIns(); }).join();
  EXPECT_TRUE(Controller().GetLoadedBundlePaths().empty());
  rt::MainThreadQueue::Drain();
  EXPECT_EQ(Paths{Home() + "/Tracker.hcplugin"}, Controller().GetLoadedBundlePaths());
}

TEST_F(PlugInTest, EachHostGetsOneInstanceOfEveryClassThatAcceptsIt) {
  MakeEveryBundle();
  rt::ObjectRef host = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  rt::ObjectRef otherHost = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  rt::Protocol* api = KsPlugInProtocols::InputDevicePlugInAPI();
  EXPECT_EQ(nullptr, Controller().PlugInInstancesForHost(host.Get()));

  // The first use of the API loads the bundles. The tracker's principal
  // registered twice (two bundles), the shy class refused, the class that
  // is no plug-in and the API that is none were ignored.
  const KsPlugInController::Instances* instances = Controller().InstantiatePlugInsForAPI(api, host.Get());
  EXPECT_EQ(3u, Controller().GetLoadedBundlePaths().size());
  EXPECT_EQ((Paths{"TestTrackerPlugIn", "TestSpareTrackerPlugIn"}), ClassNames(instances));
  EXPECT_EQ(Paths{}, ClassNames(Controller().InstantiatePlugInsForAPI(rt::ObtainProtocol("TestNoPlugInAPI"),
                                                                      otherHost.Get())));

  // Again for the same host: the same list, grown only by a class
  // registered since.
  rt::Class* late = nullptr;
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::MakeClass("TestLatePlugIn", rt::LookUpClass("TestTrackerPlugIn"), &late));
  Controller().RegisterPlugInClass(late, api);
  EXPECT_EQ(instances, Controller().InstantiatePlugInsForAPI(api, host.Get()));
  EXPECT_EQ((Paths{"TestTrackerPlugIn", "TestSpareTrackerPlugIn", "TestLatePlugIn"}), ClassNames(instances));

  // Through the run time, as plug-ins reach the controller.
  rt::Value listed;
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(m_controller.Get(), "plugInInstancesForHost:", {rt::Value::Object(host)}, &listed));
  EXPECT_EQ(3u, listed.GetArray().size());

  const int closed = ClassCount("TestTrackerPlugIn", "instancesClosed");
  Controller().CloseHostPlugIns(host.Get());
  EXPECT_EQ(closed + 3, ClassCount("TestTrackerPlugIn", "instancesClosed"));
  EXPECT_EQ(nullptr, Controller().PlugInInstancesForHost(host.Get()));
  Controller().CloseHostPlugIns(host.Get());
  EXPECT_EQ(closed + 3, ClassCount("TestTrackerPlugIn", "instancesClosed"));
}

TEST_F(PlugInTest, ApisWhoseNamesAgreeInTheFirst64CharactersShareTheirClasses) {
  MakeBundle(Home(), "Tracker.hcplugin", HC_TEST_PLUGIN_TRACKER, "TestTrackerPrincipal");
  Controller().LoadPlugIns();
  const std::string stem(64, 'A');
  rt::Protocol* first = rt::ObtainProtocol(stem + "One", {KsPlugInProtocols::PlugInAPI()});
  rt::Protocol* second = rt::ObtainProtocol(stem + "Two", {KsPlugInProtocols::PlugInAPI()});
  rt::Protocol* third = rt::ObtainProtocol(stem.substr(1) + "BThree", {KsPlugInProtocols::PlugInAPI()});
  EXPECT_TRUE(Controller().RegisterPlugInAPI(first));
  EXPECT_FALSE(Controller().RegisterPlugInAPI(second));
  Controller().RegisterPlugInClass(rt::LookUpClass("TestTrackerPlugIn"), first);
  rt::ObjectRef host = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  EXPECT_EQ(Paths{"TestTrackerPlugIn"}, ClassNames(Controller().InstantiatePlugInsForAPI(second, host.Get())));
  rt::ObjectRef otherHost = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  EXPECT_EQ(Paths{}, ClassNames(Controller().InstantiatePlugInsForAPI(third, otherHost.Get())));
  Controller().CloseHostPlugIns(host.Get());
  Controller().CloseHostPlugIns(otherHost.Get());
}

TEST_F(PlugInTest, TheDeviceManagerHandsADeviceToOneOwnerAtATime) {
  MakeEveryBundle();
  rt::ObjectRef first = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  rt::ObjectRef second = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  const int closed = [&] {
    rt::ObjectRef managerRef = KsInputDeviceManager::Make(&Controller());
    auto& manager = *static_cast<KsInputDeviceManager*>(managerRef.Get());
    // Two plug-in instances serve the manager; only the first one's device is on offer.
    EXPECT_EQ(2u, Controller().PlugInInstancesForHost(managerRef.Get())->size());
    const KsInputDeviceManager::Devices devices = manager.InputDevices();
    if (devices.size() != 1) {
      ADD_FAILURE() << devices.size() << " devices on offer";
      return 0;
    }
    rt::Id device = devices[0].Get();
    EXPECT_EQ("TestTracker", rt::ClassOf(device)->GetName());
    EXPECT_EQ(devices, manager.AvailableInputDevices());

    rt::Value claimed;
    EXPECT_EQ(rt::RuntimeErr::Ok,
              rt::Send(managerRef.Get(), "claimNextDeviceForOwner:", {rt::Value::Object(first)}, &claimed));
    EXPECT_EQ(device, claimed.GetObject());
    EXPECT_EQ(nullptr, manager.ClaimNextDeviceForOwner(second.Get()));
    EXPECT_TRUE(manager.AvailableInputDevices().empty());
    EXPECT_FALSE(manager.ClaimDevice(device, first.Get()));
    EXPECT_FALSE(manager.ClaimDevice(device, second.Get()));
    manager.UnclaimDevice(device, second.Get());
    EXPECT_TRUE(manager.IsDeviceClaimed(device));
    manager.UnclaimDevice(device, first.Get());
    EXPECT_FALSE(manager.IsDeviceClaimed(device));
    EXPECT_EQ(device, manager.ClaimNextDeviceForOwner(second.Get()));

    // Devices are opaque: any two objects can be claimed, and a release
    // without a device frees all of its owner's.
    rt::ObjectRef a = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
    rt::ObjectRef b = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
    EXPECT_TRUE(manager.ClaimDevice(a.Get(), first.Get()));
    EXPECT_TRUE(manager.ClaimDevice(b.Get(), first.Get()));
    manager.UnclaimDevice(nullptr, first.Get());
    EXPECT_FALSE(manager.IsDeviceClaimed(a.Get()));
    EXPECT_FALSE(manager.IsDeviceClaimed(b.Get()));
    EXPECT_TRUE(manager.IsDeviceClaimed(device));
    EXPECT_FALSE(manager.ClaimDevice(nullptr, first.Get()));
    return ClassCount("TestTrackerPlugIn", "instancesClosed");
  }();
  // The manager closed its plug-ins as it went.
  EXPECT_EQ(closed + 2, ClassCount("TestTrackerPlugIn", "instancesClosed"));
}

TEST_F(PlugInTest, WithoutInputDevicePlugInsNothingIsOnOffer) {
  MakeBundle(Home(), "Updating.hcplugin", HC_TEST_PLUGIN_UPDATING, "TestUpdatingPrincipal");
  rt::ObjectRef managerRef = KsInputDeviceManager::Make(&Controller());
  auto& manager = *static_cast<KsInputDeviceManager*>(managerRef.Get());
  EXPECT_EQ(1u, Controller().GetLoadedBundlePaths().size());
  EXPECT_TRUE(manager.InputDevices().empty());
  EXPECT_TRUE(manager.AvailableInputDevices().empty());
  rt::ObjectRef owner = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  EXPECT_EQ(nullptr, manager.ClaimNextDeviceForOwner(owner.Get()));
}
