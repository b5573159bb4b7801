#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "AutoUpdateRegistration.h"
#include "FileTestSupport.h"
#include "HcAutoUpdate.h"
#include "NotificationCenter.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"

namespace fs = std::filesystem;
namespace rt = hc::runtime;
namespace hf = hc::foundation;

namespace {

std::string Description(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\"><dict><key>ProductVersion</key>" + version +
         "<key>DownloadURL</key><string>https://example.invalid/p.tgz</string></dict></plist>\n";
}

std::string Text(rt::Id object, const char* selector) {
  rt::Value value;
  rt::Send(object, selector, {}, &value);
  return value.IsNil() ? "<nil>" : value.GetString();
}

// An object that keeps what reaches it: the request texts of the modules
// registered with it ("registerModule:"), or the notifications it observes
// ("heard:").
class Recorder : public rt::NativeObject {
 public:
  static rt::ObjectRef Make() { return rt::ObjectRef::Adopt(new Recorder()); }
  static Recorder& Of(const rt::ObjectRef& ref) { return *static_cast<Recorder*>(ref.Get()); }
  std::vector<std::string> seen;

 private:
  Recorder() : NativeObject(GetClass()) {}
  static rt::Class* GetClass() {
    static rt::Class* const cls = [] {
      rt::Class* made = nullptr;
      rt::MakeClass("AutoUpdateTestRecorder", rt::RootClass(), &made);
      made->AddMethods({{rt::RegisterSelector("registerModule:"), "v@:@", &Register, {}},
                        {rt::RegisterSelector("heard:"), "v@:@", &Heard, {}}});
      return made;
    }();
    return cls;
  }
  static rt::RuntimeErr Register(rt::Id self, const rt::Method&, std::span<const rt::Value> a, rt::Value&) {
    static_cast<Recorder*>(self)->seen.push_back(Text(a[0].GetObject(), "moduleUpdateRequestDescription"));
    return rt::RuntimeErr::Ok;
  }
  static rt::RuntimeErr Heard(rt::Id self, const rt::Method&, std::span<const rt::Value> a, rt::Value&) {
    static_cast<Recorder*>(self)->seen.push_back(Text(a[0].GetObject(), "name"));
    return rt::RuntimeErr::Ok;
  }
};

void Post(rt::Id object) { NotificationCenter::DefaultCenter().Post(HcAutoUpdate::kPackageModuleNotification, object); }

using Texts = std::vector<std::string>;

}  // namespace

TEST(HcAutoUpdate, DescribesTheModuleFromItsDescriptionFile) {
  ScratchFolder folder;
  const struct {
    const char* name;
    std::string content;  // "" leaves the file out
    const char* version;
  } cases[] = {
      {"version", Description("<string>1.0.3</string>"), "1.0.3"},
      {"missing file", "", "<nil>"},
      {"not a property list", "<plist><dict><key>ProductVersion", "<nil>"},
      {"no dictionary", "<plist version=\"1.0\"><array/></plist>", "<nil>"},
      {"version not text", Description("<integer>2</integer>"), "<nil>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder / (std::string(c.name) + ".autoupdatemoduleinfo");
    if (!c.content.empty()) WriteText(path, c.content);
    rt::ObjectRef module = HcAutoUpdate::Create("HalcyonPlayer", "/opt/halcyon", path);
    ASSERT_TRUE(module);
    EXPECT_EQ("HalcyonPlayer", Text(module.Get(), "moduleName"));
    EXPECT_EQ("/opt/halcyon", Text(module.Get(), "modulePath"));
    EXPECT_EQ(c.version, Text(module.Get(), "moduleVersion"));
    const std::string version = c.version == std::string("<nil>") ? "(null)" : c.version;
    EXPECT_EQ("HalcyonPlayer-" + version, Text(module.Get(), "moduleUpdateRequestDescription"));
  }
}

TEST(HcAutoUpdate, EveryLiveModuleRegistersWithEachPostingsObjectThatTakesIt) {
  ScratchFolder folder;
  WriteText(folder / "a", Description("<string>1</string>"));
  WriteText(folder / "b", Description("<string>2</string>"));
  rt::ObjectRef a = HcAutoUpdate::Create("A", folder.Path(), folder / "a");
  rt::ObjectRef b = HcAutoUpdate::Create("B", folder.Path(), folder / "b");
  rt::ObjectRef component = Recorder::Make();
  // An object without "registerModule:", and none at all, are passed over.
  rt::ObjectRef plain = rt::ObjectRef::Adopt(rt::AllocNative(rt::RootClass()));
  Post(plain.Get());
  Post(nullptr);
  Post(component.Get());
  Post(component.Get());
  EXPECT_EQ((Texts{"A-1", "B-2", "A-1", "B-2"}), Recorder::Of(component).seen);
  // A module that has gone registers no more.
  a = rt::ObjectRef();
  Post(component.Get());
  EXPECT_EQ("B-2", Recorder::Of(component).seen.back());
  EXPECT_EQ(5u, Recorder::Of(component).seen.size());
}

TEST(HcAutoUpdate, UpdateDescriptionsGoToTheControllerClassWhenThereIsOne) {
  rt::ObjectRef module = HcAutoUpdate::Create("HalcyonPlayer", "/opt/halcyon", "/nonexistent");
  rt::Value answer;
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(module.Get(), "moduleNeedsUpdateFromDescription:", {rt::Value::String("update 2")}, &answer));
  EXPECT_TRUE(answer.IsNil());

  rt::Class* controller = nullptr;
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::MakeClass("KsAutoUpdateController", rt::RootClass(), &controller));
  const rt::Imp parse = [](rt::Id, const rt::Method&, std::span<const rt::Value> a, rt::Value& result) {
    result = rt::Value::Array({rt::Value::String(Text(a[0].GetObject(), "moduleName")), a[1]});
    return rt::RuntimeErr::Ok;
  };
  controller->GetMetaclass()->AddMethods(
      {{rt::RegisterSelector("parsedArrayForModule:fromModuleUpdateString:"), "@@:@@", parse, {}}});
  ASSERT_EQ(rt::RuntimeErr::Ok,
            rt::Send(module.Get(), "moduleNeedsUpdateFromDescription:", {rt::Value::String("update 2")}, &answer));
  EXPECT_EQ(rt::Value::Array({rt::Value::String("HalcyonPlayer"), rt::Value::String("update 2")}), answer);
  rt::DisposeClass(controller);
}

class AutoUpdateRegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NotificationCenter::DefaultCenter().AddObserver(m_listener.Get(), rt::RegisterSelector("heard:"),
                                                    HcAutoUpdate::kPackageModuleNotification, nullptr);
    WriteText(m_folder / "HalcyonPlayer.autoupdatemoduleinfo", Description("<string>1.0.3</string>"));
  }
  void TearDown() override { NotificationCenter::DefaultCenter().RemoveObserver(m_listener.Get()); }

  // The component bundle with the given property list and library file.
  std::string MakeBundle(const std::string& info, const std::string& library) {
    const std::string bundle = m_folder / "PlugIns/AutoUpdate.bundle";
    fs::create_directories(bundle + "/Resources");
    if (!info.empty()) WriteText(bundle + "/Info.plist", info);
    if (!library.empty()) fs::copy_file(HC_TEST_UPDATE_COMPONENT, bundle + "/" + library);
    WriteText(bundle + "/Resources/StubUpdater.autoupdatemoduleinfo", Description("<string>2.1</string>"));
    return bundle;
  }

  static std::string Info(const std::string& executable) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleExecutable</key><string>" + executable + "</string>"
           "<key>NSPrincipalClass</key><string>StubUpdater</string></dict></plist>\n";
  }

  eAppErr Register(AutoUpdateRegistration& registration) {
    return registration.RegisterModules(m_folder / "PlugIns", m_folder / "app", m_folder / "HalcyonPlayer.autoupdatemoduleinfo",
                                        [this](const hf::PlistValue& defaults) { m_defaults.push_back(defaults); });
  }

  ScratchFolder m_folder;
  rt::ObjectRef m_listener = Recorder::Make();
  std::vector<hf::PlistValue> m_defaults;
};

TEST_F(AutoUpdateRegistrationTest, WithoutAUsableComponentNothingIsDescribedOrPosted) {
  const struct {
    const char* name;
    std::string info;
    const char* library;
    eAppErr result;
    size_t defaultsRegistered;
  } cases[] = {
      {"no plug-ins folder", "", "", AppErr::kNoErr, 0},
      {"no property list", "", "", AppErr::kNotFound, 0},
      {"library outside the bundle", Info("../component.so"), "", -630, 0},
      {"library missing", Info("component.so"), "", -630, 1},
      {"library without the class", Info("component.so"), "", AppErr::kNotReady, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(m_folder / "PlugIns");
    m_defaults.clear();
    if (c.name != std::string("no plug-ins folder")) MakeBundle(c.info, c.library);
    if (c.result == AppErr::kNotReady) {
      // A loadable library that makes no class of the principal's name.
      WriteText(m_folder / "PlugIns/AutoUpdate.bundle/Info.plist",
                "<plist version=\"1.0\"><dict><key>CFBundleExecutable</key><string>component.so</string>"
                "<key>NSPrincipalClass</key><string>NoSuchClass</string></dict></plist>");
      fs::copy_file(HC_TEST_UPDATE_COMPONENT, m_folder / "PlugIns/AutoUpdate.bundle/component.so");
    }
    AutoUpdateRegistration registration;
    EXPECT_EQ(c.result, Register(registration));
    EXPECT_EQ(c.defaultsRegistered, m_defaults.size());
    EXPECT_EQ(nullptr, registration.GetAutoUpdatePrincipalClassInstance());
    EXPECT_EQ(nullptr, registration.GetApplicationModule());
    EXPECT_EQ(nullptr, registration.GetAutoUpdateModule());
    EXPECT_TRUE(Recorder::Of(m_listener).seen.empty());
  }
}

TEST_F(AutoUpdateRegistrationTest, TheLoadedComponentGetsEveryLiveModule) {
  // A plug-in's module, made while the plug-ins loaded, lives on as an observer.
  WriteText(m_folder / "plugin.autoupdatemoduleinfo", Description("<string>0.9</string>"));
  rt::ObjectRef plugIn = HcAutoUpdate::Create("SomePlugIn", m_folder / "SomePlugIn.hcplugin", m_folder / "plugin.autoupdatemoduleinfo");
  const std::string bundle = MakeBundle(Info("component.so"), "component.so");

  AutoUpdateRegistration registration;
  ASSERT_EQ(AppErr::kNoErr, Register(registration));
  EXPECT_EQ(std::vector<hf::PlistValue>{AutoUpdateRegistration::UpdateDefaults()}, m_defaults);
  EXPECT_EQ("https://www.halcyonplayer.invalid/updates",
            *m_defaults[0].GetItem("UpdatesBaseURL")->AsString());
  EXPECT_EQ(Texts{"KsAutoUpdatePackageModule"}, Recorder::Of(m_listener).seen);

  rt::Id component = registration.GetAutoUpdatePrincipalClassInstance();
  rt::Value registered;
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(component, "registeredModules", {}, &registered));
  EXPECT_EQ(rt::Value::Array({rt::Value::String("SomePlugIn-0.9"), rt::Value::String("HalcyonPlayer-1.0.3"),
                              rt::Value::String("StubUpdater-2.1")}),
            registered);
  EXPECT_EQ(m_folder / "app", Text(registration.GetApplicationModule(), "modulePath"));
  EXPECT_EQ(bundle, Text(registration.GetAutoUpdateModule(), "modulePath"));
}
