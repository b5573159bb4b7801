#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "General/HcClassMap.h"
#include "General/KsValueWrapper.h"
#include "ModelTestClasses.h"
#include "Utilities/HcProperty.h"
#include "Utilities/HcPropertyPlaceholder.h"
#include "platform/foundation/PlistValue.h"

namespace {

using hc::foundation::PlistValue;

KsPropertyList MakePlist(const char* text) {
  return KsPropertyList(std::make_shared<const PlistValue>(PlistValue::FromString(text)));
}

KsRef<HcProperty> WrapperProperty(const char* name) {
  return KsValueWrapper::ClassGetClassObject()->FindProperty(name);
}

// Every getter of the wrapper, as one comparable record.
struct Snapshot {
  int32_t kind;
  bool b;
  int32_t i;
  uint32_t u;
  int64_t i64;
  float f;
  double d;
  PWStringRef s;
  void* p;
  KsPropertyList plist;
  KsPointF point;
  KsSizeF size;
  KsRectF rect;
  KsColorF color;
  KsRef<KsObject> object;
};

Snapshot Take(const KsValueWrapper& w) {
  return {w.GetValueType(),  w.GetBooleanValue(), w.GetIntValue(),   w.GetUIntValue(),  w.GetInt64Value(),
          w.GetFloatValue(), w.GetDoubleValue(),  w.CopyString(),    w.GetPointerValue(), w.CopyCFType(),
          w.GetPointFValue(), w.GetSizeFValue(),  w.GetRectFValue(), w.GetColorFValue(), w.GetKsObjectValue()};
}

// Each kind is answered only by its own getter; every other getter gives its
// zero value, never a converted one.
TEST(KsValueWrapperTest, AnswersOnlyTheHeldKind) {
  int target = 0;
  KsRef<KsObject> object = KsMakeRef<Gadget>();
  const KsPropertyList plist = MakePlist("p");
  const Snapshot zero{-1, false, 0, 0, 0, 0, 0, nullptr, nullptr, {}, {0, 0}, {0, 0}, {}, {0, 0, 0, 0}, {}};

  struct Case {
    int32_t kind;
    std::function<void(KsValueWrapper&)> set;
    std::function<void(Snapshot&)> expect;
  };
  const std::vector<Case> cases = {
      {1, [](auto& w) { w.SetFloatValue(5.5f); }, [](auto& s) { s.f = 5.5f; }},
      {2, [](auto& w) { w.SetIntValue(5); }, [](auto& s) { s.i = 5; }},
      {3, [](auto& w) { w.SetUIntValue(6u); }, [](auto& s) { s.u = 6; }},
      {4, [](auto& w) { w.SetStringValue("text"); }, [](auto& s) { s.s = "text"; }},
      {5, [&](auto& w) { w.SetKsObjectValue(object); }, [&](auto& s) { s.object = object; }},
      {6, [](auto& w) { w.SetBooleanValue(true); }, [](auto& s) { s.b = true; }},
      {7, [&](auto& w) { w.SetPointerValue(&target); }, [&](auto& s) { s.p = &target; }},
      {8, [](auto& w) { w.SetPointFValue({7, 8}); }, [](auto& s) { s.point = {7, 8}; }},
      {9, [](auto& w) { w.SetSizeFValue({3, 4}); }, [](auto& s) { s.size = {3, 4}; }},
      {10, [](auto& w) { w.SetRectFValue({1, 2, 3, 4}); }, [](auto& s) { s.rect = {1, 2, 3, 4}; }},
      {11, [](auto& w) { w.SetColorFValue({0.1f, 0.2f, 0.3f, 1}); }, [](auto& s) { s.color = {0.1f, 0.2f, 0.3f, 1}; }},
      {12, [](auto& w) { w.SetDoubleValue(2.25); }, [](auto& s) { s.d = 2.25; }},
      {13, [&](auto& w) { w.SetCFTypeValue(plist); }, [&](auto& s) { s.plist = plist; }},
      {14, [](auto& w) { w.SetInt64Value(int64_t{1} << 40); }, [](auto& s) { s.i64 = int64_t{1} << 40; }},
  };

  auto expectEqual = [](const Snapshot& want, const Snapshot& got, int32_t kind) {
    EXPECT_EQ(want.kind, got.kind) << kind;
    EXPECT_EQ(want.b, got.b) << kind;
    EXPECT_EQ(want.i, got.i) << kind;
    EXPECT_EQ(want.u, got.u) << kind;
    EXPECT_EQ(want.i64, got.i64) << kind;
    EXPECT_EQ(want.f, got.f) << kind;
    EXPECT_EQ(want.d, got.d) << kind;
    EXPECT_EQ(want.s, got.s) << kind;
    EXPECT_EQ(want.p, got.p) << kind;
    EXPECT_EQ(want.plist, got.plist) << kind;
    EXPECT_EQ(want.point, got.point) << kind;
    EXPECT_EQ(want.size, got.size) << kind;
    EXPECT_EQ(want.rect, got.rect) << kind;
    EXPECT_EQ(want.color, got.color) << kind;
    EXPECT_EQ(want.object, got.object) << kind;
  };

  KsValueWrapper fresh;
  expectEqual(zero, Take(fresh), -1);

  // Each kind set on a fresh wrapper, then each kind set after the previous
  // one on the same wrapper: the last setter decides.
  KsRef<KsValueWrapper> reused = KsMakeRef<KsValueWrapper>();
  for (const Case& c : cases) {
    Snapshot want = zero;
    want.kind = c.kind;
    c.expect(want);
    KsRef<KsValueWrapper> single = KsMakeRef<KsValueWrapper>();
    c.set(*single);
    expectEqual(want, Take(*single), c.kind);
    c.set(*reused);
    expectEqual(want, Take(*reused), c.kind);
  }
}

TEST(KsValueWrapperTest, PointAndRectangleShareStorageButNotVisibility) {
  KsValueWrapper w;
  w.SetRectFValue({1, 2, 3, 4});
  EXPECT_EQ((KsPointF{0, 0}), w.GetPointFValue());
  w.SetPointFValue({7, 8});
  EXPECT_EQ(KsRectF(), w.GetRectFValue());
  EXPECT_EQ((KsPointF{7, 8}), w.GetPointFValue());
}

TEST(KsValueWrapperTest, HoldsOneReferenceToStringsPropertyListsAndObjects) {
  auto w = KsMakeRef<KsValueWrapper>();
  const KsPropertyList first = MakePlist("first");
  const KsPropertyList second = MakePlist("second");
  const auto uses = [](const KsPropertyList& v) { return v.Value().use_count(); };

  w->SetCFTypeValue(first);
  EXPECT_EQ(2, uses(first));
  w->SetCFTypeValue(first);  // the same value again stays alive
  EXPECT_EQ(2, uses(first));
  w->SetCFTypeValue(second);
  EXPECT_EQ(1, uses(first));
  EXPECT_EQ(2, uses(second));
  w->SetIntValue(1);
  EXPECT_EQ(1, uses(second));
  EXPECT_TRUE(w->CopyCFType().IsNull());

  KsRef<KsObject> object = KsMakeRef<Gadget>();
  w->SetKsObjectValue(object);
  EXPECT_EQ(2, object->GetRetainCount());
  w->SetKsObjectValue(object);
  EXPECT_EQ(2, object->GetRetainCount());
  // Another kind hides the object but keeps it until replaced or destroyed.
  w->SetIntValue(1);
  EXPECT_TRUE(w->GetKsObjectValue().IsEmpty());
  EXPECT_EQ(2, object->GetRetainCount());
  w->SetCFTypeValue(second);
  w = nullptr;
  EXPECT_EQ(1, object->GetRetainCount());
  EXPECT_EQ(1, uses(second));
}

TEST(KsValueWrapperTest, AnnouncesTheKindThenTheValueOnEverySet) {
  auto w = KsMakeRef<KsValueWrapper>();
  auto recorder = KsMakeRef<ChangeRecorder>();
  w->AddObserver(recorder, "ValueType", 0);
  w->AddObserver(recorder, "FloatValue", 0);
  w->AddObserver(recorder, "KsObjectValue", 0);

  w->SetFloatValue(1);
  w->SetFloatValue(2);  // same kind: "ValueType" is still announced
  EXPECT_EQ((std::vector<int32_t>{200, 205, 200, 205}), recorder->seenIds);

  recorder->seenIds.clear();
  KsRef<KsObject> object = KsMakeRef<Gadget>();
  w->SetKsObjectValue(object);
  w->SetKsObjectValue(object);
  EXPECT_EQ((std::vector<int32_t>{200, 214, 200, 214}), recorder->seenIds);

  // Set through the descriptor: the descriptor's scope and the setter's own
  // nest, so the value is announced once.
  recorder->seenIds.clear();
  EXPECT_EQ(0, WrapperProperty("FloatValue")->SetValue(w.Get(), 3.0f));
  EXPECT_EQ((std::vector<int32_t>{200, 205}), recorder->seenIds);
}

// Changing the kind alone never makes a reference or a pointer out of the
// bits of another kind, and drops a reference it no longer shows.
TEST(KsValueWrapperTest, ChangingOnlyTheKindMakesNoReferenceOrPointer) {
  KsValueWrapper w;
  w.SetIntValue(0x1234);
  w.SetValueType(KsPropertyType::kPointer);
  EXPECT_EQ(nullptr, w.GetPointerValue());
  w.SetIntValue(0x1234);
  EXPECT_EQ(0, WrapperProperty("ValueType")->SetValue(&w, "7"));
  EXPECT_EQ(nullptr, w.GetPointerValue());
  // The pointer property itself is never set from text.
  EXPECT_EQ(-900, WrapperProperty("PointerValue")->SetValue(&w, "0x1234"));
  EXPECT_EQ(nullptr, w.GetPointerValue());

  w.SetIntValue(5);
  w.SetValueType(KsPropertyType::kString);
  EXPECT_TRUE(w.CopyString().IsNull());
  w.SetValueType(KsPropertyType::kPropertyList);
  EXPECT_TRUE(w.CopyCFType().IsNull());

  const KsPropertyList plist = MakePlist("held");
  w.SetCFTypeValue(plist);
  w.SetValueType(KsPropertyType::kInt);
  EXPECT_EQ(1, plist.Value().use_count());
  w.SetValueType(KsPropertyType::kPropertyList);
  EXPECT_TRUE(w.CopyCFType().IsNull());

  // Back to the same kind keeps the value.
  w.SetStringValue("kept");
  w.SetValueType(KsPropertyType::kString);
  EXPECT_EQ(PWStringRef("kept"), w.CopyString());
}

TEST(KsValueWrapperTest, CreatesFromAPropertyInTheDescriptorsKind) {
  auto source = KsMakeRef<KsValueWrapper>();
  source->SetInt64Value(int64_t{1} << 40);
  KsRef<KsValueWrapper> made = KsValueWrapper::CreateFromProperty(WrapperProperty("Int64Value"), source);
  EXPECT_EQ(14, made->GetValueType());
  EXPECT_EQ(int64_t{1} << 40, made->GetInt64Value());
  EXPECT_EQ(1, made->GetRetainCount());

  // The kind follows the descriptor, whatever the object holds.
  made = KsValueWrapper::CreateFromProperty(WrapperProperty("FloatValue"), source);
  EXPECT_EQ(1, made->GetValueType());
  EXPECT_EQ(0.0f, made->GetFloatValue());

  auto gadget = KsMakeRef<Gadget>();
  auto partner = KsMakeRef<Gadget>();
  gadget->SetPartner(partner);
  gadget->SetFrame({1, 2, 3, 4});
  auto gadgetClass = gadget->GetClassObject();
  made = KsValueWrapper::CreateFromProperty(gadgetClass->FindProperty("Partner"), gadget);
  EXPECT_EQ(partner, made->GetKsObjectValue());
  EXPECT_EQ(3, partner->GetRetainCount());  // ours, the gadget's, the wrapper's
  made = KsValueWrapper::CreateFromProperty(gadgetClass->FindProperty("Frame"), gadget);
  EXPECT_EQ(KsRectF(1, 2, 3, 4), made->GetRectFValue());
  EXPECT_EQ(2, partner->GetRetainCount());

  // A read that fails (an object of another class) gives the zero value.
  made = KsValueWrapper::CreateFromProperty(gadgetClass->FindProperty("Frame"), source);
  EXPECT_EQ(10, made->GetValueType());
  EXPECT_EQ(KsRectF(), made->GetRectFValue());

  auto untyped = HcPropertyPlaceholder::Create({}, 1, KsPropertyType::kNone, "Untyped");
  EXPECT_EQ(-1, KsValueWrapper::CreateFromProperty(untyped, gadget)->GetValueType());
  EXPECT_EQ(-1, KsValueWrapper::CreateFromProperty({}, gadget)->GetValueType());
}

// A value of another numeric kind is converted or refused; a mismatch is
// never written as zero with success.
TEST(KsValueWrapperTest, AppliesValuesConvertingNumbersAndRefusingMismatches) {
  struct Case {
    const char* what;
    std::function<void(KsValueWrapper&)> set;
    const char* property;  // of the Gadget
    eAppErr result;
  };
  auto partner = KsMakeRef<Gadget>();
  const std::vector<Case> cases = {
      {"float to float", [](auto& w) { w.SetFloatValue(3.5f); }, "Width", 0},
      {"float to int rounds", [](auto& w) { w.SetFloatValue(3.5f); }, "Count", 0},
      {"double to int rounds", [](auto& w) { w.SetDoubleValue(-2.6); }, "Count", 0},
      {"int to float", [](auto& w) { w.SetIntValue(7); }, "Width", 0},
      {"uint to double", [](auto& w) { w.SetUIntValue(4000000000u); }, "Ratio", 0},
      {"int64 beyond int", [](auto& w) { w.SetInt64Value(int64_t{1} << 40); }, "Count", -901},
      {"uint beyond int", [](auto& w) { w.SetUIntValue(4000000000u); }, "Count", -901},
      {"double beyond float", [](auto& w) { w.SetDoubleValue(1e40); }, "Width", -901},
      {"double beyond int", [](auto& w) { w.SetDoubleValue(2147483647.6); }, "Count", -901},
      {"not a number to int", [](auto& w) { w.SetDoubleValue(std::nan("")); }, "Count", -901},
      {"empty wrapper", [](auto&) {}, "Count", -102},
      {"text to int", [](auto& w) { w.SetStringValue("5"); }, "Count", -102},
      {"bool to int", [](auto& w) { w.SetBooleanValue(true); }, "Count", -102},
      {"int to bool", [](auto& w) { w.SetIntValue(1); }, "Enabled", -102},
      {"point to rect", [](auto& w) { w.SetPointFValue({1, 1}); }, "Frame", -102},
      {"rect to rect", [](auto& w) { w.SetRectFValue({1, 2, 3, 4}); }, "Frame", 0},
      {"int to read-only", [](auto& w) { w.SetIntValue(1); }, "Serial", -102},
      {"object", [&](auto& w) { w.SetKsObjectValue(partner); }, "Partner", 0},
      {"object of another class", [](auto& w) { w.SetKsObjectValue(KsMakeRef<ChangeRecorder>()); }, "Partner", -2},
  };
  for (const Case& c : cases) {
    auto gadget = KsMakeRef<Gadget>();
    gadget->SetCount(99);
    gadget->SetWidth(99);
    gadget->SetRatio(99);
    gadget->SetEnabled(true);
    auto w = KsMakeRef<KsValueWrapper>();
    c.set(*w);
    EXPECT_EQ(c.result, w->ApplyToProperty(gadget->GetClassObject()->FindProperty(c.property), gadget)) << c.what;
    if (c.result != 0) {
      EXPECT_EQ(99, gadget->GetCount()) << c.what;
      EXPECT_EQ(99.0f, gadget->GetWidth()) << c.what;
      EXPECT_TRUE(gadget->GetEnabled()) << c.what;
      EXPECT_EQ(KsRectF(), gadget->GetFrame()) << c.what;
      EXPECT_TRUE(gadget->GetPartner().IsEmpty()) << c.what;
    }
  }

  auto gadget = KsMakeRef<Gadget>();
  auto apply = [&](const std::function<void(KsValueWrapper&)>& set, const char* property) {
    auto w = KsMakeRef<KsValueWrapper>();
    set(*w);
    return w->ApplyToProperty(gadget->GetClassObject()->FindProperty(property), gadget);
  };
  apply([](auto& w) { w.SetFloatValue(3.5f); }, "Count");
  EXPECT_EQ(4, gadget->GetCount());
  apply([](auto& w) { w.SetDoubleValue(-2.6); }, "Count");
  EXPECT_EQ(-3, gadget->GetCount());
  apply([](auto& w) { w.SetIntValue(7); }, "Width");
  EXPECT_EQ(7.0f, gadget->GetWidth());
  apply([](auto& w) { w.SetUIntValue(4000000000u); }, "Ratio");
  EXPECT_EQ(4000000000.0, gadget->GetRatio());

  // Negative into unsigned, and 64-bit into the wrapper's own kinds.
  auto target = KsMakeRef<KsValueWrapper>();
  auto w = KsMakeRef<KsValueWrapper>();
  w->SetIntValue(-1);
  EXPECT_EQ(-901, w->ApplyToProperty(WrapperProperty("UIntValue"), target));
  EXPECT_EQ(-1, target->GetValueType());
  w->SetUIntValue(5);
  EXPECT_EQ(0, w->ApplyToProperty(WrapperProperty("Int64Value"), target));
  EXPECT_EQ(5, target->GetInt64Value());

  // An untyped descriptor writes nothing and answers 0.
  auto untyped = HcPropertyPlaceholder::Create({}, 1, KsPropertyType::kNone, "Untyped");
  EXPECT_EQ(0, w->ApplyToProperty(untyped, target));
  EXPECT_EQ(-2, w->ApplyToProperty({}, target));
}

TEST(KsValueWrapperTest, IsAClassOfItsOwnReflectingEveryKind) {
  KsRef<KsClassObject> classObject = HcClassMap::FindClassObject("KsValueWrapper");
  ASSERT_TRUE(classObject);
  EXPECT_STREQ("KsValueWrapper", classObject->GetImplName());
  EXPECT_EQ(KsObject::ClassGetClassObject(), classObject->GetParentClass());
  EXPECT_FALSE(classObject->IsAbstract());

  KsRef<KsObject> made;
  classObject->CreateObject(made);
  auto w = made.DynamicCast<KsValueWrapper>();
  ASSERT_TRUE(w);
  EXPECT_EQ(-1, w->GetValueType());
  EXPECT_EQ(2, made->GetRetainCount());  // made's and w's

  HcPropertyList list;
  classObject->GetPropertyList(list, false);
  EXPECT_EQ(15u, list.size());
  for (const auto& property : list) {
    EXPECT_TRUE(property->GetCanGet() && property->GetCanSet()) << property->GetName().CStr();
    EXPECT_TRUE(property->GetShouldSerialize()) << property->GetName().CStr();
  }
  EXPECT_EQ(KsObject::ClassGetClassObject(), WrapperProperty("KsObjectValue")->GetPropertyTypeClass());

  // Through text, one property after another: the last one decides the kind.
  EXPECT_EQ(0, WrapperProperty("IntValue")->SetValue(w.Get(), "12"));
  EXPECT_EQ(0, WrapperProperty("RectFValue")->SetValue(w.Get(), "x=1 y=2 w=3 h=4"));
  EXPECT_EQ(0, WrapperProperty("StringValue")->SetValue(w.Get(), PWStringRef("last")));
  EXPECT_EQ(4, w->GetValueType());
  EXPECT_EQ(0, w->GetIntValue());
  EXPECT_EQ(PWStringRef("last"), w->CopyString());

  // Reads and writes on an object of another class fail.
  auto gadget = KsMakeRef<Gadget>();
  int32_t value = 0;
  EXPECT_EQ(-2, WrapperProperty("IntValue")->GetValue(gadget.Get(), &value));
  EXPECT_EQ(-2, WrapperProperty("IntValue")->SetValue(gadget.Get(), int32_t{1}));
}

}  // namespace
