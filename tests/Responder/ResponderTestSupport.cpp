#include "ResponderTestSupport.h"

#include "FileTestSupport.h"
#include "RegisterAllClasses.h"
#include "Responder/MouseResponder.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcPropertyBinding.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/ObjectPath.h"
#include "View/PerspectiveViewOpenGL.h"

HC_DEFINE_CLASS(TestScene, KsObject, "TestScene")
void TestScene::TestSceneClass::SetupProperties() {
  using F = TestScene;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, KsObject>::Create(self, 300, "View", false, &F::GetView, &F::SetView));
  AddProperty(HcPropertyObjectDirectGet<F, KsObject>::Create(self, 301, "ViewProxy", false, &F::GetViewProxy,
                                                             nullptr));
}

TestScene::TestScene() = default;
TestScene::~TestScene() = default;

KsRef<TestScene> TestScene::Make(float width, float height) {
  RegisterAllClasses();
  auto scene = KsMakeRef<TestScene>();
  auto view = KsMakeRef<PerspectiveViewOpenGL>();
  view->SetFrame(KsRectF{0.0f, 0.0f, width, height});
  view->SetLookDirection(0.0f, 0.0f, 60.0f, 0.0f);
  scene->holder->SetView(view);
  PropertyProxy::RegisterClassObject(PanoView::ClassGetClassObject());
  scene->proxy = MakeObject<PropertyProxy>(PropertyProxy::MakeProxyClassName(PanoView::ClassGetClassObject()));
  scene->proxy->SetResolveContext(scene);
  scene->proxy->SetTargetPath(PWStringRef("hc://View.View"));
  scene->mouse->SetView(view);
  scene->mouse->SetClock(scene->idle);
  scene->mouse->SetRealtimeClock(scene->realtime);
  scene->UseSceneClock(view);
  return scene;
}

void TestScene::UseSceneClock(const KsRef<HcView>& view) {
  view->GetMouseResponder()->SetRealtimeClock(realtime);
  view->GetKeyboardResponder()->SetClock(realtime);
}

eAppErr TestScene::Tick(double t) {
  realtime->SetTimeNow(t);
  idle->SetTimeNow(t);
  return realtime->Idle();
}

KsRef<HcView> TestScene::GetRootView() { return GetMainView(); }

KsRef<HcView> TestScene::GetMainView() {
  return proxy ? proxy->GetResolvedTarget().DynamicCast<HcView>() : KsRef<HcView>();
}

KsRef<KeyboardResponder> TestScene::GetKeyboardResponder() {
  if (keyboard) return keyboard;
  KsRef<HcView> view = GetMainView();
  return view ? view->GetKeyboardResponder() : KsRef<KeyboardResponder>();
}

eAppErr TestScene::FindViewset(const PWStringRef& name, KsRef<Viewset>* viewset) {
  for (const KsRef<Viewset>& candidate : viewsets) {
    if (candidate->GetName() == name) {
      *viewset = candidate;
      return AppErr::kNoErr;
    }
  }
  return AppErr::kNotFound;
}

eAppErr TestScene::LoadHcMLAtRoot(const PWStringRef& hcml, const PWStringRef& rootPath) {
  KsRef<KsObject> root;
  eAppErr err = ResolveObjectPath(rootPath, KsRef<KsObject>(this), &root);
  if (AppErrFailed(err)) return err;
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetPathRoot(KsRef<KsObject>(this));
  loader->SetRootObject(root);
  loader->SetHcMLToLoad(hcml);
  return loader->LoadHcML();
}

eAppErr TestScene::SetViewProxyTargetPath(const PWStringRef& path) { return proxy->SetTargetPath(path); }

eAppErr TestScene::GetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float* value) {
  return HcPropertyBinding::GetPropertyValue(value, path, propertyName, KsRef<KsObject>(this));
}

eAppErr TestScene::SetFloatAtPath(const PWStringRef& path, const PWStringRef& propertyName, float value) {
  return HcPropertyBinding::SetPropertyValue(value, path, propertyName, KsRef<KsObject>(this));
}

KsRef<InputDevice> TestScene::GetInputDevice() {
  return device ? device->GetTargetAs<InputDevice>() : KsRef<InputDevice>();
}

eAppErr TestScene::SetInputDevice(const KsRef<InputDevice>& newDevice) {
  ++setInputDeviceCalls;
  device = WeakRef::GetWeakRef(newDevice.Get());
  return AppErr::kNoErr;
}

TraceRecorder::TraceRecorder() {
  KsTrace::LoadSettings(PWStringRef(), true);
  KsTrace::SetOutputSink([this](const std::string& line) { lines.push_back(line); });
}

TraceRecorder::~TraceRecorder() {
  KsTrace::SetOutputSink({});
  KsTrace::ResetSettings();
}

bool TraceRecorder::Contains(const std::string& text) const {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

bool XmllintAccepts(const std::string& text) {
  ScratchFolder folder;
  const std::string path = folder / "responder.hcml";
  WriteText(path, text);
  return RunTool({"xmllint", "--noout", path}) == 0;
}
