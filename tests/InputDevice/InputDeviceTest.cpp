#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "InputDevice/InterSenseInputDevice.h"
#include "InputDevice/InterSenseLibrary.h"
#include "ResponderTestSupport.h"
#include "Utilities/HcProperty.h"

namespace {

// The stand-in library as the tests script it: opened by the test as well
// (the same loaded image the device's loader gets), so its state outlives
// the loader's unloading.
class StubTracker {
 public:
  StubTracker() : m_handle(dlopen(HC_STUB_ISENSE, RTLD_NOW)) {
    Bind(m_reset, "StubTracker_Reset");
    Bind(m_setOrientation, "StubTracker_SetOrientation");
    Bind(m_setFailures, "StubTracker_SetFailures");
    Bind(m_setModel, "StubTracker_SetModel");
    Bind(m_openCount, "StubTracker_OpenCount");
    Bind(m_resetHeadingCalls, "StubTracker_ResetHeadingCalls");
    m_reset();
  }
  ~StubTracker() {
    if (m_handle) dlclose(m_handle);
  }
  bool Loaded() const { return m_handle != nullptr; }
  void Orientation(float yaw, float pitch, float roll) { m_setOrientation(yaw, pitch, roll); }
  void Failures(bool data, bool stationGet, bool stationSet) { m_setFailures(data, stationGet, stationSet); }
  void Model(uint32_t model, uint32_t type) { m_setModel(model, type); }
  int OpenCount() { return m_openCount(); }
  int ResetHeadingCalls() { return m_resetHeadingCalls(); }

 private:
  template <class Fn>
  void Bind(Fn& fn, const char* name) {
    fn = m_handle ? reinterpret_cast<Fn>(dlsym(m_handle, name)) : nullptr;
  }
  void* m_handle;
  void (*m_reset)() = nullptr;
  void (*m_setOrientation)(float, float, float) = nullptr;
  void (*m_setFailures)(int, int, int) = nullptr;
  void (*m_setModel)(uint32_t, uint32_t) = nullptr;
  int (*m_openCount)() = nullptr;
  int (*m_resetHeadingCalls)() = nullptr;
};

class InterSenseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(stub.Loaded());
    setenv(InterSenseLibrary::kNameVariable, HC_STUB_ISENSE, 1);
    scene = TestScene::Make();
    ASSERT_EQ(0, device->SetContext(scene));
  }
  void TearDown() override {
    if (device->IsOpen()) device->CloseTracker();
    unsetenv(InterSenseLibrary::kNameVariable);
  }

  StubTracker stub;
  KsRef<TestScene> scene;
  KsRef<InterSenseInputDevice> device = KsMakeRef<InterSenseInputDevice>();
};

TEST_F(InterSenseTest, TrackerTurnsTheMainViewFromTheHeadingTakenAtReset) {
  EXPECT_EQ(2, device->Update());  // not open yet
  stub.Model(11, 2);
  ASSERT_EQ(0, device->OpenTracker());
  EXPECT_EQ(21, InterSenseLibrary::Shared().BoundEntryCount());
  EXPECT_EQ(PWStringRef("InertiaCube3"), device->GetTrackerModel());
  EXPECT_EQ(PWStringRef("InterTrax Series"), device->GetTrackerType());

  struct Case {
    float yaw, pitch, roll;
    float pan, tilt, skew;
  };
  // Yaw 350 with no heading offset yet.
  stub.Orientation(350.0f, 12.5f, 4.0f);
  EXPECT_EQ(0, device->Update());
  EXPECT_NEAR(350.0f, scene->Main()->GetPanAngle(), 1e-3);
  EXPECT_NEAR(12.5f, scene->Main()->GetTiltAngle(), 1e-3);
  EXPECT_NEAR(-4.0f, scene->Main()->GetSkew(), 1e-3);

  // Reset with the view at pan 123 keeps it there; turns count from there.
  scene->Main()->SetPanAngle(123.0f);
  EXPECT_EQ(0, device->Reset());
  EXPECT_EQ(1, stub.ResetHeadingCalls());
  EXPECT_FLOAT_EQ(123.0f, device->GetHeadingOffset());
  for (const Case& c : {Case{0.0f, 0.0f, 0.0f, 123.0f, 0.0f, 0.0f}, Case{250.0f, -30.0f, -10.0f, 13.0f, -30.0f, 10.0f},
                        Case{-200.0f, 45.0f, 90.0f, 283.0f, 45.0f, -90.0f}}) {
    stub.Orientation(c.yaw, c.pitch, c.roll);
    EXPECT_EQ(0, device->Update());
    EXPECT_NEAR(c.pan, scene->Main()->GetPanAngle(), 1e-3) << c.yaw;
    EXPECT_NEAR(c.tilt, scene->Main()->GetTiltAngle(), 1e-3) << c.yaw;
    EXPECT_NEAR(c.skew, scene->Main()->GetSkew(), 1e-3) << c.yaw;
  }

  // A failed read applies nothing.
  stub.Failures(true, false, false);
  stub.Orientation(10.0f, 10.0f, 10.0f);
  EXPECT_EQ(2, device->Update());
  EXPECT_NEAR(283.0f, scene->Main()->GetPanAngle(), 1e-3);
  float x = 7.0f, y = 7.0f, z = 7.0f;
  EXPECT_EQ(-1, device->ReadOrientation(&x, &y, &z));
  EXPECT_EQ(7.0f, x);

  // Closing the last tracker unloads the library.
  EXPECT_EQ(0, device->CloseTracker());
  EXPECT_FALSE(InterSenseLibrary::Shared().IsLoaded());
  EXPECT_EQ(0, stub.OpenCount());
  EXPECT_EQ(-903, device->CloseTracker());
  EXPECT_EQ(2, device->Update());
}

TEST_F(InterSenseTest, NonPanoramicMainViewOrNoContextHasNothingToDo) {
  ASSERT_EQ(0, device->OpenTracker());
  stub.Orientation(90.0f, 0.0f, 0.0f);
  scene->proxy->SetTargetPath(PWStringRef("hc://Nowhere"));
  EXPECT_EQ(2, device->Update());
  scene->proxy->SetTargetPath(PWStringRef("hc://View.View"));
  EXPECT_EQ(0, device->SetContext(nullptr));
  EXPECT_EQ(2, device->Update());
  EXPECT_FLOAT_EQ(0.0f, scene->Main()->GetPanAngle());
}

TEST_F(InterSenseTest, StationSettingsCheckRangesAndReportFailures) {
  // Before the tracker is open nothing can be read or written.
  EXPECT_EQ(-903, device->SetSensitivity(2));
  EXPECT_EQ(0, device->GetSensitivity());
  ASSERT_EQ(0, device->OpenTracker());
  EXPECT_EQ(3, device->GetSensitivity());
  struct Case {
    const char* name;
    int32_t value;
    eAppErr result;
  };
  for (const Case& c : {Case{"Sensitivity", 0, -2}, Case{"Sensitivity", 5, -2}, Case{"Prediction", 51, -2},
                        Case{"Compass", 3, -2}, Case{"EnhancementMode", -1, -2}, Case{"Sensitivity", 4, 0},
                        Case{"Prediction", 50, 0}, Case{"Compass", 2, 0}, Case{"EnhancementMode", 1, 0}}) {
    KsRef<HcProperty> property;
    device->GetClassObject()->GetPropertyForPropertyName(property, PWStringRef(c.name));
    ASSERT_TRUE(property) << c.name;
    EXPECT_EQ(c.result, property->SetValue(device.Get(), c.value)) << c.name << " " << c.value;
  }
  EXPECT_EQ(4, device->GetSensitivity());
  EXPECT_EQ(50, device->GetPrediction());
  EXPECT_EQ(2, device->GetCompass());
  EXPECT_EQ(1, device->GetEnhancementMode());

  stub.Failures(false, true, false);
  EXPECT_EQ(-1, device->SetSensitivity(1));
  stub.Failures(false, false, true);
  EXPECT_EQ(-1, device->SetSensitivity(1));
  stub.Failures(false, false, false);
  EXPECT_EQ(4, device->GetSensitivity());
}

TEST(InterSenseWithoutLibrary, OpeningFailsClearlyAndChangesNothing) {
  setenv(InterSenseLibrary::kNameVariable, "libhc-no-such-tracker.so", 1);
  KsRef<TestScene> scene = TestScene::Make();
  auto device = KsMakeRef<InterSenseInputDevice>();
  device->SetContext(scene);
  testing::internal::CaptureStdout();
  EXPECT_EQ(-1, device->OpenTracker());
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string::npos, printed.find("Could not load libhc-no-such-tracker.so")) << printed;
  EXPECT_FALSE(device->IsOpen());
  EXPECT_FALSE(InterSenseLibrary::Shared().IsLoaded());
  EXPECT_EQ(2, device->Update());
  EXPECT_EQ(0, device->Reset());
  EXPECT_EQ(PWStringRef("Unknown"), device->GetTrackerModel());
  EXPECT_FLOAT_EQ(0.0f, scene->Main()->GetPanAngle());
  unsetenv(InterSenseLibrary::kNameVariable);
}

TEST(InterSenseNames, ModelAndTypeTables) {
  EXPECT_STREQ("IS-300 Series", InterSenseInputDevice::ModelName(1));
  EXPECT_STREQ("InertiaCube2 Pro", InterSenseInputDevice::ModelName(9));
  EXPECT_STREQ("Unknown", InterSenseInputDevice::ModelName(12));
  EXPECT_STREQ("Unknown", InterSenseInputDevice::ModelName(0));
  EXPECT_STREQ("IS Precision Series", InterSenseInputDevice::TypeName(1));
  EXPECT_STREQ("Unknown", InterSenseInputDevice::TypeName(3));
}

// The context and the device know each other weakly.
TEST(InputDeviceContext, AttachingDetachingAndRelease) {
  KsRef<TestScene> first = TestScene::Make();
  KsRef<TestScene> second = TestScene::Make();
  auto device = KsMakeRef<InterSenseInputDevice>();
  EXPECT_EQ(0, device->SetContext(first));
  EXPECT_EQ(first.Get(), device->GetContext().Get());
  EXPECT_EQ(device.Get(), first->GetInputDevice().Get());
  const int calls = first->setInputDeviceCalls;
  EXPECT_EQ(0, device->SetContext(first));  // same context: its slot is not cleared in between
  EXPECT_EQ(calls + 1, first->setInputDeviceCalls);
  EXPECT_EQ(0, device->SetContext(second));
  EXPECT_FALSE(first->GetInputDevice());
  EXPECT_EQ(device.Get(), second->GetInputDevice().Get());
  EXPECT_EQ(-2, device->SetContext(KsMakeRef<Viewset>()));
  EXPECT_EQ(0, device->SetContext(nullptr));
  EXPECT_FALSE(second->GetInputDevice());
  device->SetContext(first);
  device = nullptr;
  EXPECT_FALSE(first->GetInputDevice());
}

}  // namespace
