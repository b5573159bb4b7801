#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "General/KsStringCollection.h"
#include "General/ObjectCollection.h"
#include "InputDevice/InterSenseInputDevice.h"
#include "Responder/HotspotPropertyResponder.h"
#include "Responder/KeyBinding.h"
#include "Responder/KeyboardBindingResponder.h"
#include "Responder/KeyboardResponderCollection.h"
#include "Responder/KeyboardVelocityResponder.h"
#include "Responder/MouseIgnoreResponder.h"
#include "Responder/MousePositionResponder.h"
#include "Responder/MouseVelocityResponder.h"
#include "Responder/VectorObjectMouseResponder.h"
#include "Responder/ViewsetSelectorResponder.h"
#include "RegisterAllClasses.h"
#include "ResponderTestSupport.h"
#include "Time/HcStaticFloatTween.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcWeakPropertyBinding.h"
#include "Utilities/XMLStringEmitter.h"

namespace {

// Written as HcML, checked by xmllint, and loaded back.
KsRef<KsObject> RoundTrip(const KsRef<KsObject>& object, std::string* text) {
  PWStringRef written = WriteObjectToHcMLString(object, "entry");
  *text = written ? written.Str() : std::string();
  EXPECT_FALSE(text->empty());
  EXPECT_TRUE(XmllintAccepts(*text)) << *text;
  auto list = KsMakeRef<ObjectCollection>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(PWStringRef(*text));
  loader->LoadHcML();
  KsRef<KsObject> loaded;
  list->GetObjectByIndex(0, &loaded);
  return loaded;
}

KsRef<KsStringCollection> Strings(std::initializer_list<const char*> items) {
  auto strings = KsMakeRef<KsStringCollection>();
  for (const char* item : items) strings->Add(PWStringRef(item));
  return strings;
}

struct Case {
  const char* className;
  std::function<KsRef<KsObject>()> make;
  std::function<void(const KsRef<KsObject>&, const std::string&)> check;
};

template <class T>
KsRef<T> As(const KsRef<KsObject>& object) {
  KsRef<T> typed = object.DynamicCast<T>();
  EXPECT_TRUE(typed);
  return typed;
}

std::vector<Case> Cases() {
  return {
      {"MouseIgnoreResponder",
       [] {
         auto r = KsMakeRef<MouseIgnoreResponder>();
         r->SetTransparent(true);
         return r;
       },
       [](const KsRef<KsObject>& o, const std::string& text) {
         EXPECT_TRUE(As<MouseIgnoreResponder>(o)->GetTransparent());
         EXPECT_EQ(std::string::npos, text.find("LastPanAngle"));
       }},
      {"MouseForwardingResponder", [] { return KsMakeRef<MouseForwardingResponder>(); },
       [](const KsRef<KsObject>& o, const std::string&) { As<MouseForwardingResponder>(o); }},
      {"MouseVelocityResponder",
       [] {
         auto r = KsMakeRef<MouseVelocityResponder>();
         r->SetSpeedX(2.5f);
         r->SetSpeedY(-1.0f);
         r->SetSpeedScroll(0.25f);
         return r;
       },
       [](const KsRef<KsObject>& o, const std::string&) {
         auto r = As<MouseVelocityResponder>(o);
         EXPECT_FLOAT_EQ(2.5f, r->GetSpeedX());
         EXPECT_FLOAT_EQ(-1.0f, r->GetSpeedY());
         EXPECT_FLOAT_EQ(0.25f, r->GetSpeedScroll());
       }},
      {"MousePositionResponder",
       [] {
         auto r = KsMakeRef<MousePositionResponder>();
         r->SetTransitionOnMouseUp(false);
         return r;
       },
       [](const KsRef<KsObject>& o, const std::string&) {
         EXPECT_FALSE(As<MousePositionResponder>(o)->GetTransitionOnMouseUp());
       }},
      {"HotspotPropertyResponder",
       [] {
         auto r = KsMakeRef<HotspotPropertyResponder>();
         r->SetDataChannel(3);
         r->SetBias(-0.5f);
         r->SetScale(4.0f);
         auto binding = KsMakeRef<HcWeakPropertyBinding>();
         binding->SetPropertyName(PWStringRef("PanAngle"));
         r->SetTargetProperty(binding);
         return r;
       },
       [](const KsRef<KsObject>& o, const std::string&) {
         auto r = As<HotspotPropertyResponder>(o);
         EXPECT_EQ(3, r->GetDataChannel());
         EXPECT_FLOAT_EQ(-0.5f, r->GetBias());
         EXPECT_FLOAT_EQ(4.0f, r->GetScale());
         ASSERT_TRUE(r->GetTargetProperty());
         EXPECT_EQ(PWStringRef("PanAngle"), r->GetTargetProperty()->GetPropertyName());
       }},
      {"VectorObjectMouseResponder",
       [] {
         auto r = KsMakeRef<VectorObjectMouseResponder>();
         r->SetCursorOver(12);
         r->SetCursorDown(13);
         return r;
       },
       [](const KsRef<KsObject>& o, const std::string&) {
         auto r = As<VectorObjectMouseResponder>(o);
         EXPECT_EQ(12, r->GetCursorOver());
         EXPECT_EQ(13, r->GetCursorDown());
       }},
      {"ViewsetSelectorResponder",
       [] {
         auto r = KsMakeRef<ViewsetSelectorResponder>();
         r->SetButtonNames(Strings({"Pano", "Flat"}));
         r->SetViewsetNames(Strings({"PanoSet", "FlatSet"}));
         r->SetPseudoRoot(PWStringRef("hc://Stage"));
         r->SetCurrentButtonIndex(1);
         return r;
       },
       [](const KsRef<KsObject>& o, const std::string& text) {
         auto r = As<ViewsetSelectorResponder>(o);
         EXPECT_EQ(1u, r->GetCurrentButtonIndex());
         EXPECT_EQ(PWStringRef("Flat"), r->GetCurrentButtonName());
         EXPECT_EQ(PWStringRef("hc://Stage"), r->GetPseudoRoot());
         ASSERT_TRUE(r->GetViewsetNames());
         EXPECT_EQ(PWStringRef("FlatSet"), r->GetViewsetNames()->GetByIndex(1));
         EXPECT_EQ(std::string::npos, text.find("<Context"));
       }},
      {"KeyboardIgnoreResponder", [] { return KsMakeRef<KeyboardResponder>(); },
       [](const KsRef<KsObject>& o, const std::string&) { As<KeyboardResponder>(o); }},
      {"KeyboardQTVRStyleResponder",
       [] {
         auto r = KsMakeRef<KeyboardVelocityResponder>();
         r->SetSpeeds(2.0f, 3.0f, 0.5f);
         return r;
       },
       [](const KsRef<KsObject>& o, const std::string&) {
         auto r = As<KeyboardVelocityResponder>(o);
         EXPECT_FLOAT_EQ(2.0f, r->GetSpeedX());
         EXPECT_FLOAT_EQ(3.0f, r->GetSpeedY());
         EXPECT_FLOAT_EQ(0.5f, r->GetSpeedZ());
       }},
      {"KeyboardBindingResponder",
       [] {
         auto r = KsMakeRef<KeyboardBindingResponder>();
         auto bindings = KsMakeRef<KeyboardResponderCollection>();
         auto binding = KsMakeRef<KeyBinding>();
         binding->SetKey('q');
         binding->SetModifierMask(0x1200);
         binding->SetBehavior(4);
         auto tween = KsMakeRef<HcStaticFloatTween>();
         tween->SetValue(7.0f);
         binding->SetAction(tween);
         bindings->Add(binding);
         r->SetBindings(bindings);
         return r;
       },
       [](const KsRef<KsObject>& o, const std::string& text) {
         EXPECT_NE(std::string::npos, text.find("keyboardresponders"));
         auto r = As<KeyboardBindingResponder>(o);
         ASSERT_TRUE(r->GetBindings());
         ASSERT_EQ(1u, r->GetBindings()->GetCount());
         auto binding = r->GetBindings()->GetByIndex(0).DynamicCast<KeyBinding>();
         ASSERT_TRUE(binding);
         EXPECT_EQ('q', binding->GetKey());
         EXPECT_EQ(0x1200, binding->GetModifierMask());
         EXPECT_EQ(4, binding->GetBehavior());
         auto tween = binding->GetAction().DynamicCast<HcStaticFloatTween>();
         ASSERT_TRUE(tween);
         EXPECT_FLOAT_EQ(7.0f, tween->GetValue());
       }},
      {"InterSenseInputDevice", [] { return KsMakeRef<InterSenseInputDevice>(); },
       [](const KsRef<KsObject>& o, const std::string& text) {
         EXPECT_NE(std::string::npos, text.find("<TrackerModel>Unknown</TrackerModel>"));
         EXPECT_FALSE(As<InterSenseInputDevice>(o)->IsOpen());
       }},
  };
}

TEST(ResponderHcML, EveryClassRoundTrips) {
  RegisterAllClasses();
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.className);
    KsRef<KsObject> object = c.make();
    EXPECT_EQ(PWStringRef(c.className), object->GetClassObject()->GetName());
    std::string text;
    KsRef<KsObject> loaded = RoundTrip(object, &text);
    EXPECT_NE(std::string::npos, text.find(std::string("xsi:type=\"") + c.className + "\"")) << text;
    ASSERT_TRUE(loaded) << text;
    EXPECT_NE(object.Get(), loaded.Get());
    c.check(loaded, text);
  }
}

TEST(ResponderHcML, AbstractClassesMakeNothing) {
  RegisterAllClasses();
  for (const char* name : {"MouseResponder", "RadioButtonArray", "InputDevice"}) {
    EXPECT_FALSE(MakeObject<KsObject>(PWStringRef(name))) << name;
  }
  for (const char* name : {"MouseForwardingResponder", "KeyBinding", "keyboardresponders", "InterSenseInputDevice"}) {
    EXPECT_TRUE(MakeObject<KsObject>(PWStringRef(name))) << name;
  }
}

}  // namespace
