#include <gtest/gtest.h>

#include <string>

#include "General/KsStringCollection.h"
#include "General/ObjectCollection.h"
#include "Responder/KeyBinding.h"
#include "Responder/KeyboardBindingResponder.h"
#include "Responder/KeyboardResponderCollection.h"
#include "Responder/KeyboardVelocityResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "Responder/PressableVectorObject.h"
#include "Responder/SourceDisplayObject.h"
#include "Responder/VectorObjectHost.h"
#include "Responder/VectorObjectMouseResponder.h"
#include "Responder/ViewsetSelectorResponder.h"
#include "ResponderTestSupport.h"
#include "Source/SourceCollection.h"
#include "Time/HcGoalCollection.h"
#include "Time/HcStaticFloatTween.h"
#include "Time/HcTransition.h"
#include "Time/HcTweenCollection.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/ObjectPath.h"
#include "View/PerspectiveViewOpenGL.h"

namespace {

constexpr const char* kXsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

std::string StaticTween(float value) {
  return "<Action xsi:type=\"HcStaticFloatTween\"><Value>" + std::to_string(value) +
         "</Value><Binding xsi:type=\"HcWeakPropertyBinding\"><TargetObject xsi:type=\"PerspectiveView\" "
         "href=\"hc://View.View\"/><PropertyName>VFOV</PropertyName></Binding></Action>";
}

std::string Binding(int key, int mask, int behavior, float value) {
  return "<keyboardresponder xsi:type=\"KeyBinding\"><Key>" + std::to_string(key) + "</Key><ModifierMask>" +
         std::to_string(mask) + "</ModifierMask><Behavior>" + std::to_string(behavior) + "</Behavior>" +
         StaticTween(value) + "</keyboardresponder>";
}

// A binding responder loaded from HcML into the scene: "a" with shift holds
// VFOV 30, "a" with any modifiers 40 (shadowed with shift), "t" toggles 70.
KsRef<KeyboardBindingResponder> LoadBindings(const KsRef<TestScene>& scene) {
  const std::string text = std::string("<entry ") + kXsi +
                           " xsi:type=\"KeyboardBindingResponder\"><Bindings xsi:type=\"keyboardresponders\">" +
                           Binding('a', 0x200, 1, 30) + Binding('a', 0, 1, 40) + Binding('t', 0, 4, 70) +
                           "</Bindings></entry>";
  auto list = KsMakeRef<ObjectCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetPathRoot(scene);
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(PWStringRef(text));
  EXPECT_EQ(0, loader->LoadHcML());
  KsRef<KsObject> loaded;
  list->GetObjectByIndex(0, &loaded);
  auto responder = loaded.DynamicCast<KeyboardBindingResponder>();
  if (!responder) return responder;
  for (uint32_t i = 0; i < responder->GetBindings()->GetCount(); ++i) {
    responder->GetBindings()->GetByIndex(i)->SetClock(scene->realtime);
  }
  return responder;
}

KsRef<HcTween> ActionOf(const KsRef<KeyboardBindingResponder>& responder, uint32_t index) {
  return responder->GetBindings()->GetByIndex(index).DynamicCast<KeyBinding>()->GetAction();
}

TEST(KeyBindings, HcMLBindingsFireTheirTweensAndOnlyTheirs) {
  KsRef<TestScene> scene = TestScene::Make();
  KsRef<KeyboardBindingResponder> keys = LoadBindings(scene);
  ASSERT_TRUE(keys);
  ASSERT_EQ(3u, keys->GetBindings()->GetCount());
  scene->keyboard = keys;
  KsRef<HcClock> clock = scene->realtime;

  // Shift, or shift and command: the first binding; its key-repeat adds nothing.
  for (uint32_t modifiers : {0x200u, 0x300u}) {
    EXPECT_TRUE(scene->KeyDown('a', modifiers, 0));
    EXPECT_TRUE(scene->KeyDown('a', modifiers, 0));
    EXPECT_EQ(1u, clock->GetTweens()->GetCount());
    EXPECT_TRUE(clock->ContainsTween(ActionOf(keys, 0)));
    scene->Tick(1.0);
    EXPECT_FLOAT_EQ(30.0f, scene->Main()->GetVFOV());
    EXPECT_TRUE(scene->KeyUp('a', modifiers, 0));
    EXPECT_EQ(0u, clock->GetTweens()->GetCount());
  }
  // Without shift (or with command alone) the second.
  EXPECT_TRUE(scene->KeyDown('a', 0x100, 0));
  EXPECT_TRUE(clock->ContainsTween(ActionOf(keys, 1)));
  EXPECT_FALSE(clock->ContainsTween(ActionOf(keys, 0)));
  scene->Tick(2.0);
  EXPECT_FLOAT_EQ(40.0f, scene->Main()->GetVFOV());
  EXPECT_TRUE(scene->KeyUp('a', 0x100, 0));
  EXPECT_FALSE(scene->KeyDown('b', 0, 0));

  // The toggle: key-downs change nothing, key-ups switch on and off.
  EXPECT_TRUE(scene->KeyDown('t', 0, 0));
  EXPECT_EQ(0u, clock->GetTweens()->GetCount());
  EXPECT_TRUE(scene->KeyUp('t', 0, 0));
  EXPECT_TRUE(clock->ContainsTween(ActionOf(keys, 2)));
  EXPECT_TRUE(scene->KeyUp('t', 0, 0));
  EXPECT_EQ(0u, clock->GetTweens()->GetCount());

  // What a binding put on the clock leaves with it, and when input stops.
  EXPECT_TRUE(scene->KeyUp('t', 0, 0));
  EXPECT_TRUE(scene->KeyDown('a', 0, 0));
  EXPECT_EQ(2u, clock->GetTweens()->GetCount());
  scene->StopInputTweens();
  EXPECT_EQ(0u, clock->GetTweens()->GetCount());
  EXPECT_TRUE(scene->KeyUp('t', 0, 0));
  scene->keyboard = nullptr;
  keys = nullptr;
  EXPECT_EQ(0u, clock->GetTweens()->GetCount());
}

TEST(KeyBindings, TransitionsStartOnTheirKeyAndPlainTweensDoNot) {
  KsRef<TestScene> scene = TestScene::Make();
  auto binding = KsMakeRef<KeyBinding>();
  binding->SetClock(scene->realtime);
  binding->SetKey('g');
  binding->SetBehavior(KeyBinding::kStartOnDown);
  binding->SetAction(KsMakeRef<HcStaticFloatTween>());
  EXPECT_TRUE(binding->KeyDown('g', 0, 0));
  EXPECT_EQ(0u, scene->realtime->GetTweens()->GetCount());
  auto glide = KsMakeRef<HcTransition>();
  glide->SetTarget(scene->Main());
  auto goal = KsMakeRef<HcGoal>();
  goal->SetPropertyName(PWStringRef("PanAngle"));
  goal->SetValue(90.0f);
  glide->GetGoals()->Add(goal);
  binding->SetAction(glide);
  EXPECT_TRUE(binding->KeyDown('g', 0, 0));
  EXPECT_TRUE(binding->KeyDown('g', 0, 0));
  EXPECT_EQ(1u, scene->realtime->GetTweens()->GetCount());
  scene->Tick(5.0);
  EXPECT_FLOAT_EQ(90.0f, scene->Main()->GetPanAngle());
  EXPECT_TRUE(binding->KeyUp('g', 0, 0));  // behaviour 2 does nothing on key-up
  EXPECT_FALSE(binding->KeyUp('h', 0, 0));
}

TEST(KeyboardResponders, ViewsAndCollections) {
  KsRef<TestScene> scene = TestScene::Make();
  auto plain = KsMakeRef<KeyboardResponder>();
  EXPECT_FALSE(plain->KeyDown(28, 0, 0));
  {
    auto view = KsMakeRef<PerspectiveViewOpenGL>();
    view->SetKeyboardResponder(plain);
    EXPECT_EQ(view.Get(), plain->GetView().Get());
  }
  EXPECT_FALSE(plain->GetView());
  auto collection = KsMakeRef<KeyboardResponderCollection>();
  EXPECT_FALSE(collection->IsLegalElement(KsMakeRef<Viewset>()));
  EXPECT_TRUE(collection->IsLegalElement(KsMakeRef<KeyBinding>()));

  // A key held while the view goes away: the motion stops with the responder.
  auto keys = scene->Main()->GetKeyboardResponder().DynamicCast<KeyboardVelocityResponder>();
  ASSERT_TRUE(keys);
  keys->SetSpeedX(2.0f);
  EXPECT_TRUE(scene->KeyDown(28, 0, 0));
  EXPECT_FLOAT_EQ(-180.0f, keys->GetTween(KeyboardVelocityResponder::kPan)->GetVelocity());
  EXPECT_FALSE(scene->KeyDown(200, 0, 0));
  EXPECT_EQ(-1, keys->GetHeldKey());
  EXPECT_EQ(1u, scene->realtime->GetTweens()->GetCount());
  scene->Main()->SetKeyboardResponder(nullptr);
  keys = nullptr;
  EXPECT_EQ(0u, scene->realtime->GetTweens()->GetCount());
}

// A stand-in overlay view: buttons are squares 10 wide side by side.
class ButtonObject : public KsObject, public SourceDisplayObject, public PressableVectorObject {
 public:
  KsRef<PanoSource> GetSource() const override { return source; }
  eAppErr SetSource(const KsRef<PanoSource>& newSource) override {
    source = newSource;
    return 0;
  }
  void MouseDown() override { ++presses; }
  void MouseUp() override { ++releases; }
  void CursorEntered() override { ++entries; }
  void CursorExited() override { ++exits; }
  KsRef<PanoSource> source;
  int presses = 0, releases = 0, entries = 0, exits = 0;
};

class ButtonBar : public HcView, public VectorObjectHost {
 public:
  eAppErr Draw(const KsRef<PanoRenderer>&) override { return 0; }
  KsRef<KsObject> GetObjectAtPoint(const KsPointF& point) override {
    for (uint32_t i = 0; i < buttons.size(); ++i) {
      if (ObjectAtIndexContainsPoint(i, point)) return buttons[i];
    }
    return {};
  }
  bool ObjectContainsPoint(const KsRef<KsObject>& object, const KsPointF& point) override {
    for (uint32_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i].Get() == object.Get()) return ObjectAtIndexContainsPoint(i, point);
    }
    return false;
  }
  bool ObjectAtIndexContainsPoint(uint32_t index, const KsPointF& point) override {
    return index < buttons.size() && point.x >= index * 10.0f && point.x < index * 10.0f + 10.0f && point.y >= 0 &&
           point.y < 10;
  }
  KsRef<KsObject> GetVectorObjectAt(uint32_t index) override {
    return index < buttons.size() ? KsRef<KsObject>(buttons[index]) : KsRef<KsObject>();
  }
  std::vector<KsRef<ButtonObject>> buttons;
};

KsRef<PanoSource> NamedSource(const char* name) {
  KsRef<PanoSource> source = MakeObject<PanoSource>(PWStringRef("BufferSource"));
  source->SetName(PWStringRef(name));
  return source;
}

struct SelectorScene {
  SelectorScene() {
    auto images = KsMakeRef<SourceCollection>();
    auto names = KsMakeRef<KsStringCollection>();
    auto viewsetNames = KsMakeRef<KsStringCollection>();
    for (const char* name : {"Wide", "Narrow", "Missing"}) {
      names->Add(PWStringRef(name));
      viewsetNames->Add(PWStringRef(std::string(name) + "Set"));
      bar->buttons.push_back(KsMakeRef<ButtonObject>());
      if (std::string(name) == "Missing") continue;
      images->Add(NamedSource((std::string(name) + "Up").c_str()));
      images->Add(NamedSource((std::string(name) + "Down").c_str()));
    }
    selector->SetSourceCollection(images);
    selector->SetButtonNames(names);
    selector->SetViewsetNames(viewsetNames);
    bar->SetMouseResponder(selector);
    for (const char* name : {"WideSet", "NarrowSet"}) {
      auto viewset = KsMakeRef<Viewset>();
      viewset->SetName(PWStringRef(name));
      viewset->SetViewHcML(PWStringRef(std::string("<View ") + kXsi +
                                       " xsi:type=\"PerspectiveView\"><VFOVMax>110</VFOVMax></View>"));
      scene->viewsets.push_back(viewset);
    }
  }
  PWStringRef Shown(uint32_t i) const {
    KsRef<PanoSource> source = bar->buttons[i]->source;
    return source ? source->GetName() : PWStringRef("none");
  }
  void Click(float x) {
    selector->MouseDown(KsPointF{x, 5}, nullptr);
    selector->MouseUp(KsPointF{x, 5}, nullptr);
  }

  KsRef<TestScene> scene = TestScene::Make();
  KsRef<ButtonBar> bar = KsMakeRef<ButtonBar>();
  KsRef<ViewsetSelectorResponder> selector = KsMakeRef<ViewsetSelectorResponder>();
};

TEST(ViewsetSelector, RadioButtonsSwitchViewsetsAndCarryTheLook) {
  SelectorScene s;
  s.selector->MouseMoved(KsPointF{-1, -1}, nullptr);
  EXPECT_EQ(PWStringRef("WideDown"), s.Shown(0));
  EXPECT_EQ(PWStringRef("NarrowUp"), s.Shown(1));

  // No context: traced, and the button stays as it was.
  {
    TraceRecorder trace;
    s.Click(15);
    EXPECT_TRUE(trace.Contains("No context set!"));
  }
  EXPECT_EQ(0u, s.selector->GetCurrentButtonIndex());
  ASSERT_EQ(0, s.selector->SetContext(s.scene));

  // Pressed over one button, released over another: nothing selected.
  s.selector->MouseDown(KsPointF{15, 5}, nullptr);
  EXPECT_EQ(PWStringRef("NarrowDown"), s.Shown(1));  // pressed and under the pointer: inverted
  s.selector->MouseUp(KsPointF{25, 5}, nullptr);
  EXPECT_EQ(PWStringRef("NarrowUp"), s.Shown(1));
  EXPECT_EQ(0u, s.selector->GetCurrentButtonIndex());

  // A real switch: a drag and a held key in progress stop, the look carries over.
  KsRef<PerspectiveView> old = s.scene->Main();
  old->SetLookDirection(120.0f, -10.0f, 70.0f, 0.0f);
  old->GetMouseResponder()->MouseDown(KsPointF{200, 150}, nullptr);
  s.scene->KeyDown(28, 0, 0);
  EXPECT_EQ(3u, s.scene->realtime->GetTweens()->GetCount());
  s.Click(15);
  EXPECT_EQ(1u, s.selector->GetCurrentButtonIndex());
  EXPECT_EQ(PWStringRef("Narrow"), s.selector->GetCurrentButtonName());
  EXPECT_EQ(PWStringRef("NarrowDown"), s.Shown(1));
  EXPECT_EQ(PWStringRef("WideUp"), s.Shown(0));
  KsRef<PerspectiveView> now = s.scene->Main();
  ASSERT_TRUE(now);
  EXPECT_NE(old.Get(), now.Get());
  EXPECT_FLOAT_EQ(110.0f, now->GetVFOVMax());
  EXPECT_FLOAT_EQ(120.0f, now->GetPanAngle());
  EXPECT_FLOAT_EQ(-10.0f, now->GetTiltAngle());
  EXPECT_FLOAT_EQ(70.0f, now->GetVFOV());
  EXPECT_EQ(0u, s.scene->realtime->GetTweens()->GetCount());

  // The current button again: ignored, nothing loaded.
  {
    TraceRecorder trace;
    s.Click(15);
    EXPECT_TRUE(trace.Contains("Ignoring switch to button 1 since it's already selected"));
  }
  EXPECT_EQ(now.Get(), s.scene->Main().Get());

  // A viewset the scene does not have; a missing down image empties the display.
  {
    TraceRecorder trace;
    s.Click(25);
    EXPECT_TRUE(trace.Contains("Viewset didn't resolve to an actual object!"));
  }
  EXPECT_EQ(1u, s.selector->GetCurrentButtonIndex());
  s.selector->SetCurrentButtonIndex(2);
  EXPECT_EQ(PWStringRef("none"), s.Shown(2));
  EXPECT_EQ(PWStringRef("NarrowUp"), s.Shown(1));
  s.selector->SetCurrentButtonIndex(7);
  EXPECT_EQ(2u, s.selector->GetCurrentButtonIndex());
  s.selector->SetButtonNames(nullptr);
  EXPECT_EQ(UINT32_MAX, s.selector->GetCurrentButtonIndex());
}

TEST(ViewsetSelector, LookThatCannotBeReadIsNotWrittenAsZero) {
  SelectorScene s;
  s.selector->SetContext(s.scene);
  s.scene->proxy->SetTargetPath(PWStringRef("hc://Nowhere"));  // no main view to read
  s.Click(15);
  EXPECT_EQ(1u, s.selector->GetCurrentButtonIndex());
  KsRef<PerspectiveView> now = s.scene->Main();
  ASSERT_TRUE(now);
  EXPECT_FLOAT_EQ(90.0f, now->GetVFOV());  // the new view's own, not 0
}

TEST(VectorObjects, HoverPressAndReleaseDriveButtonsAndTheDefaultAction) {
  KsRef<TestScene> scene = TestScene::Make();
  auto bar = KsMakeRef<ButtonBar>();
  bar->buttons = {KsMakeRef<ButtonObject>(), KsMakeRef<ButtonObject>()};
  auto responder = KsMakeRef<VectorObjectMouseResponder>();
  bar->SetMouseResponder(responder);
  uint32_t cursor = 0;
  EXPECT_FALSE(responder->MouseMoved(KsPointF{50, 5}, &cursor));
  EXPECT_EQ(1u, cursor);
  EXPECT_TRUE(responder->MouseMoved(KsPointF{5, 5}, &cursor));
  EXPECT_EQ(3u, cursor);
  EXPECT_TRUE(responder->MouseMoved(KsPointF{15, 5}, &cursor));  // straight onto the next
  EXPECT_EQ(1, bar->buttons[0]->exits);
  EXPECT_EQ(1, bar->buttons[1]->entries);

  responder->SetCursorDown(5);
  EXPECT_TRUE(responder->MouseDown(KsPointF{15, 5}, &cursor));
  EXPECT_EQ(5u, cursor);
  responder->MouseUp(KsPointF{50, 5}, &cursor);  // released away: nothing fires
  EXPECT_EQ(0, bar->buttons[1]->releases);
  EXPECT_TRUE(responder->MouseDown(KsPointF{15, 5}, &cursor));
  responder->MouseUp(KsPointF{16, 5}, &cursor);
  EXPECT_EQ(1, bar->buttons[1]->releases);
  EXPECT_EQ(3u, cursor);
  EXPECT_FALSE(responder->MouseDown(KsPointF{50, 5}, &cursor));
  EXPECT_FALSE(responder->GetPressedObject());
}

}  // namespace
