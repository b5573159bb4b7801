#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "General/HcClassMap.h"
#include "General/KsPropertyList.h"
#include "ReflectTestClasses.h"
#include "Utilities/DelegatingProperty.h"
#include "Utilities/PropertyProxy.h"
#include "Utilities/PropertyTraverser.h"
#include "platform/foundation/PlistValue.h"

namespace {

// A context holding a few sprockets for proxies to point at.
class PropertyProxyFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, PropertyProxy::RegisterClassObject(Sprocket::ClassGetClassObject()));
    context = MakeSprocketWithParts(3);
    auto partner = KsMakeRef<Sprocket>();
    partner->SetName("partner");
    context->SetPartner(partner);
    proxy = MakeObject<PropertyProxy>(PropertyProxy::MakeProxyClassName(Sprocket::ClassGetClassObject()));
    ASSERT_TRUE(proxy);
  }
  KsRef<Sprocket> Part(uint32_t index) const { return context->GetParts()->GetByIndex(index); }
  KsRef<HcProperty> ProxyProperty(const char* name) const { return proxy->GetClassObject()->FindProperty(name); }

  KsRef<Sprocket> context;
  KsRef<PropertyProxy> proxy;
};

TEST_F(PropertyProxyFixture, ProxyClassIsNamedAfterItsTargetClass) {
  EXPECT_EQ(PWStringRef("PropertyProxy_Sprocket_"), PropertyProxy::MakeProxyClassName(Sprocket::ClassGetClassObject()));
  KsRef<KsClassObject> proxyClass = HcClassMap::FindClassObject("propertyproxy_sprocket_");
  ASSERT_TRUE(proxyClass);
  EXPECT_EQ(proxyClass, proxy->GetClassObject());
  EXPECT_STREQ("PropertyProxy", proxyClass->GetImplName());
  EXPECT_EQ(KsObject::ClassGetClassObject(), proxyClass->GetParentClass());
  EXPECT_FALSE(proxyClass->IsAbstract());
  EXPECT_TRUE(PropertyProxy::ClassGetClassObject().IsEmpty());
  EXPECT_EQ(-2, PropertyProxy::RegisterClassObject(KsRef<KsClassObject>()));
  // Registering again keeps the first class.
  EXPECT_EQ(0, PropertyProxy::RegisterClassObject(Sprocket::ClassGetClassObject()));
  EXPECT_EQ(proxyClass, HcClassMap::FindClassObject("PropertyProxy_Sprocket_"));
}

TEST_F(PropertyProxyFixture, ResolvesOnceBothPathAndContextAreSet) {
  KsRef<HcProperty> speed = ProxyProperty("Speed");
  ASSERT_TRUE(speed);
  EXPECT_EQ(0, proxy->SetTargetPath("hc://Parts[1]"));
  EXPECT_TRUE(proxy->GetResolvedTarget().IsEmpty());
  EXPECT_EQ(-2, speed->SetValue(proxy.Get(), 2.0f));

  EXPECT_EQ(0, proxy->SetResolveContext(context));
  EXPECT_EQ(Part(1), proxy->GetResolvedTarget());
  EXPECT_EQ(0, speed->SetValue(proxy.Get(), 2.0f));
  EXPECT_EQ(2.0f, Part(1)->GetSpeed());

  // Unrelated class, path errors: unresolved with the failure.
  EXPECT_EQ(-609, proxy->SetTargetPath("hc://Parts[7]"));
  EXPECT_TRUE(proxy->GetResolvedTarget().IsEmpty());
  EXPECT_EQ(-2, proxy->SetTargetPath("hc://Parts"));  // a SprocketCollection is no Sprocket
  EXPECT_TRUE(proxy->GetResolvedTarget().IsEmpty());
  // A subclass of the target class is a fine target.
  auto gear = KsMakeRef<GearSprocket>();
  context->SetPartner(gear);
  EXPECT_EQ(0, proxy->SetTargetPath("hc://Partner"));
  EXPECT_EQ(gear, proxy->GetResolvedTarget());
}

TEST_F(PropertyProxyFixture, ContextIsHeldWeakly) {
  {
    KsRef<Sprocket> shortLived = MakeSprocketWithParts(1);
    proxy->SetTargetPath("hc://Parts[0]");
    EXPECT_EQ(0, proxy->SetResolveContext(shortLived));
    EXPECT_EQ(shortLived, proxy->GetResolveContext());
  }
  EXPECT_TRUE(proxy->GetResolveContext().IsEmpty());
  // The resolved target stays until the next change.
  EXPECT_TRUE(proxy->GetResolvedTarget());
  proxy->SetTargetPath("hc://Parts[0]");
  EXPECT_TRUE(proxy->GetResolvedTarget().IsEmpty());
}

// Every one of the fourteen value types goes through to the target.
TEST_F(PropertyProxyFixture, ForwardsAllFourteenValueTypes) {
  proxy->SetResolveContext(context);
  proxy->SetTargetPath("hc://Parts[2]");
  KsRef<Sprocket> target = Part(2);
  KsObject* p = proxy.Get();
  auto partner = KsMakeRef<Sprocket>();
  int cookie = 0;
  const KsPropertyList settings(
      std::make_shared<hc::foundation::PlistValue>(hc::foundation::PlistValue::FromInteger(3)));

  EXPECT_EQ(0, ProxyProperty("Speed")->SetValue(p, 1.25f));
  EXPECT_EQ(0, ProxyProperty("Teeth")->SetValue(p, int32_t{-4}));
  EXPECT_EQ(0, ProxyProperty("Serial")->SetValue(p, uint32_t{9}));
  EXPECT_EQ(0, ProxyProperty("Label")->SetValue(p, PWStringRef("tooth")));
  EXPECT_EQ(0, ProxyProperty("Partner")->SetValue(p, KsRef<KsObject>(partner)));
  EXPECT_EQ(0, ProxyProperty("Enabled")->SetValue(p, true));
  EXPECT_EQ(0, ProxyProperty("Handle")->SetValue(p, static_cast<void*>(&cookie)));
  EXPECT_EQ(0, ProxyProperty("Origin")->SetValue(p, KsPointF{1, 2}));
  EXPECT_EQ(0, ProxyProperty("Extent")->SetValue(p, KsSizeF{3, 4}));
  EXPECT_EQ(0, ProxyProperty("Frame")->SetValue(p, KsRectF{1, 2, 3, 4}));
  EXPECT_EQ(0, ProxyProperty("Tint")->SetValue(p, KsColorF{0.1f, 0.2f, 0.3f, 0.4f}));
  EXPECT_EQ(0, ProxyProperty("Ratio")->SetValue(p, 0.125));
  EXPECT_EQ(0, ProxyProperty("Settings")->SetValue(p, settings));
  EXPECT_EQ(0, ProxyProperty("Ticks")->SetValue(p, int64_t{1} << 40));

  EXPECT_EQ(1.25f, target->GetSpeed());
  EXPECT_EQ(-4, target->GetTeeth());
  EXPECT_EQ(9u, target->GetSerial());
  EXPECT_EQ(PWStringRef("tooth"), target->GetLabel());
  EXPECT_EQ(partner, target->GetPartner());
  EXPECT_TRUE(target->GetEnabled());
  EXPECT_EQ(&cookie, target->GetHandle());
  EXPECT_EQ(2.0f, target->GetOrigin().y);
  EXPECT_EQ(4.0f, target->GetExtent().h);
  EXPECT_EQ(3.0f, target->GetFrame().w);
  EXPECT_EQ(0.4f, target->GetTint().a);
  EXPECT_EQ(0.125, target->GetRatio());
  EXPECT_EQ(settings, target->GetSettings());
  EXPECT_EQ(int64_t{1} << 40, target->GetTicks());

  double ratio = 0;
  KsRectF frame;
  KsColorF tint;
  KsPointF origin;
  KsSizeF extent;
  KsPropertyList readSettings;
  int64_t ticks = 0;
  void* handle = nullptr;
  EXPECT_EQ(0, ProxyProperty("Ratio")->GetValue(p, &ratio));
  EXPECT_EQ(0, ProxyProperty("Frame")->GetValue(p, &frame));
  EXPECT_EQ(0, ProxyProperty("Tint")->GetValue(p, &tint));
  EXPECT_EQ(0, ProxyProperty("Origin")->GetValue(p, &origin));
  EXPECT_EQ(0, ProxyProperty("Extent")->GetValue(p, &extent));
  EXPECT_EQ(0, ProxyProperty("Settings")->GetValue(p, &readSettings));
  EXPECT_EQ(0, ProxyProperty("Ticks")->GetValue(p, &ticks));
  EXPECT_EQ(0, ProxyProperty("Handle")->GetValue(p, &handle));
  EXPECT_EQ(0.125, ratio);
  EXPECT_EQ(4.0f, frame.h);
  EXPECT_EQ(0.3f, tint.b);
  EXPECT_EQ(1.0f, origin.x);
  EXPECT_EQ(3.0f, extent.w);
  EXPECT_EQ(settings, readSettings);
  EXPECT_EQ(int64_t{1} << 40, ticks);
  EXPECT_EQ(&cookie, handle);

  // Text converts through the target's descriptor; a read-only one stays so.
  EXPECT_EQ(0, ProxyProperty("Ratio")->SetValue(p, PWStringRef("2.5")));
  EXPECT_EQ(2.5, target->GetRatio());
  EXPECT_TRUE(ProxyProperty("Model")->GetCanGet());
  EXPECT_FALSE(ProxyProperty("Model")->GetCanSet());
  EXPECT_EQ(-102, ProxyProperty("Model")->SetValue(p, PWStringRef("X")));
  // Not a proxy: -2.
  EXPECT_EQ(-2, ProxyProperty("Ratio")->SetValue(target.Get(), 1.0));
}

TEST_F(PropertyProxyFixture, FindsPropertiesWithoutRegardToCase) {
  KsRef<HcProperty> lower = ProxyProperty("speed");
  ASSERT_TRUE(lower);
  EXPECT_EQ(lower, ProxyProperty("SPEED"));
  EXPECT_EQ(PWStringRef("Speed"), lower->GetName());
  EXPECT_EQ(200, lower->GetPropertyID());
  EXPECT_FALSE(lower->GetShouldSerialize());
  EXPECT_EQ(proxy->GetClassObject(), lower->GetExposingClass());
  KsRef<HcProperty> path = ProxyProperty("_targetpath");
  ASSERT_TRUE(path);
  EXPECT_EQ(PWStringRef("_TargetPath"), path->GetName());
  EXPECT_TRUE(path->GetShouldSerialize());
  EXPECT_FALSE(ProxyProperty("_ResolveContext")->GetShouldSerialize());
  EXPECT_TRUE(ProxyProperty("NoSuchProperty").IsEmpty());
  // By id: the proxy's own two, else the target class's.
  EXPECT_EQ(path, proxy->GetClassObject()->FindPropertyById(200));
  EXPECT_EQ(ProxyProperty("Ticks"), proxy->GetClassObject()->FindPropertyById(213));
  EXPECT_TRUE(proxy->GetClassObject()->FindPropertyById(999).IsEmpty());

  // The list: the target's properties, then _ResolveContext and _TargetPath.
  HcPropertyList list;
  proxy->GetClassObject()->GetPropertyList(list, false);
  HcPropertyList targetList;
  Sprocket::ClassGetClassObject()->GetPropertyList(targetList, true);
  ASSERT_EQ(targetList.size() + 2, list.size());
  EXPECT_EQ(PWStringRef("_ResolveContext"), list[list.size() - 2]->GetName());
  EXPECT_EQ(PWStringRef("_TargetPath"), list.back()->GetName());
  EXPECT_EQ(targetList[0]->GetName(), list[0]->GetName());
}

TEST_F(PropertyProxyFixture, ObserversFollowTheTarget) {
  proxy->SetResolveContext(context);
  proxy->SetTargetPath("hc://Parts[0]");
  auto recorder = KsMakeRef<NoticeRecorder>();
  proxy->AddObserver(recorder, "speed", 0);

  Part(0)->SetSpeed(1);
  ASSERT_EQ(1u, recorder->names.size());
  EXPECT_EQ(proxy.Get(), recorder->objects[0]);
  EXPECT_EQ("Speed", recorder->names[0]);

  // Retargeted: the new target's changes arrive, the old one's don't.
  proxy->SetTargetPath("hc://Parts[1]");
  Part(0)->SetSpeed(2);
  Part(1)->SetSpeed(3);
  EXPECT_EQ(2u, recorder->names.size());

  // A write through the proxy's own descriptor is heard once.
  ProxyProperty("Speed")->SetValue(proxy.Get(), 4.0f);
  EXPECT_EQ(3u, recorder->names.size());

  // Removing the last observer of a name ends the proxy's registration.
  proxy->RemoveObserver(recorder, "SPEED");
  Part(1)->SetSpeed(5);
  EXPECT_EQ(3u, recorder->names.size());
  proxy->AddObserver(recorder, "Speed", 0);
  Part(1)->SetSpeed(6);
  EXPECT_EQ(4u, recorder->names.size());

  // A null name removes the observer from every name.
  proxy->AddObserver(recorder, "Teeth", 0);
  proxy->RemoveObserver(recorder, PWStringRef());
  Part(1)->SetSpeed(7);
  Part(1)->SetTeeth(7);
  EXPECT_EQ(4u, recorder->names.size());
}

TEST_F(PropertyProxyFixture, DeadObserversAreSkipped) {
  proxy->SetResolveContext(context);
  proxy->SetTargetPath("hc://Parts[0]");
  auto survivor = KsMakeRef<NoticeRecorder>();
  {
    auto dying = KsMakeRef<NoticeRecorder>();
    proxy->AddObserver(dying, "Speed", 0);
    proxy->AddObserver(survivor, "Speed", 0);
  }
  Part(0)->SetSpeed(1);
  EXPECT_EQ(1u, survivor->names.size());
}

// Records names and indices of what a traversal reports.
class NameTraverser : public PropertyTraverser {
 public:
  std::vector<std::string> names;
  template <class T>
  eAppErr Note(KsObject* object, HcProperty* property, int32_t index, const T&) {
    names.push_back(property->GetName().Str() + (index >= 0 ? "#" + std::to_string(index) : ""));
    owners.push_back(object);
    return 0;
  }
  std::vector<KsObject*> owners;
#define NOTE(T) \
  eAppErr OnPropertyValue(KsObject* o, HcProperty* p, int32_t i, T v) override { return Note(o, p, i, v); }
  NOTE(float)
  NOTE(uint32_t)
  NOTE(int32_t)
  NOTE(bool)
  NOTE(const PWStringRef&)
  NOTE(const KsRef<KsObject>&)
  NOTE(const KsRectF&)
  NOTE(const KsPointF&)
  NOTE(const KsSizeF&)
  NOTE(const KsColorF&)
  NOTE(double)
  NOTE(const KsPropertyList&)
  NOTE(void*)
  NOTE(int64_t)
#undef NOTE
};

TEST_F(PropertyProxyFixture, TraversalRelaysTheTargetUnderProxyDescriptors) {
  proxy->SetResolveContext(context);
  proxy->SetTargetPath("hc://Parts[0]");
  Part(0)->SetLabel("first");
  KsRef<KsClassObject> proxyClass = proxy->GetClassObject();

  // For writing: only the path.
  auto forWriting = KsMakeRef<NameTraverser>();
  EXPECT_EQ(0, proxyClass->TraverseProperties(proxy.Get(), forWriting.Get(), false));
  EXPECT_EQ(std::vector<std::string>{"_TargetPath"}, forWriting->names);

  auto everything = KsMakeRef<NameTraverser>();
  EXPECT_EQ(0, proxyClass->TraverseProperties(proxy.Get(), everything.Get(), true));
  ASSERT_GE(everything->names.size(), 4u);
  EXPECT_EQ("_TargetPath", everything->names[0]);
  EXPECT_EQ("_ResolveContext", everything->names[1]);
  EXPECT_NE(everything->names.end(), std::find(everything->names.begin(), everything->names.end(), "Label"));
  for (KsObject* owner : everything->owners) EXPECT_EQ(proxy.Get(), owner);

  EXPECT_EQ(-2, proxyClass->TraverseProperties(context.Get(), everything.Get(), true));
}

}  // namespace
