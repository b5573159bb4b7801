#pragma once

// Runs a table of bridged methods: each selector is sent through the run
// time to one fresh object and its operation is called directly on a twin;
// results, out-values and the objects' states must agree.

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "General/CocoaBridge.h"
#include "General/CocoaMethod.h"
#include "General/KsObjectCollectionBase.h"
#include "platform/runtime/MessageSend.h"

namespace bridged_test {

namespace rt = hc::runtime;

// Slots that out-pointer arguments write to.
struct Outs {
  float f[2] = {0, 0};
  rt::Value object;
  friend bool operator==(const Outs&, const Outs&) = default;
};

template <class T>
struct Case {
  const char* selector;
  std::function<std::vector<rt::Value>(Outs&)> arguments;
  std::function<rt::Value(T&, Outs&)> model;
  // New objects (a fresh report, a fresh collection) compare by class and
  // contents rather than identity.
  bool freshResult = false;
};

inline rt::Value Box(const auto& value) { return cocoa_method::ToValue(value); }

using V = rt::Value;
using Args = std::vector<V>;

template <class T>
KsRef<T> Make() {
  return KsMakeRef<T>();
}

inline V Object(const KsRef<KsObject>& object) { return Box(object); }

// A collection as its elements in order, another object as its class name.
inline rt::Value Describe(const rt::Value& value) {
  KsRef<KsObject> object = KsObjectFromCocoa(value.GetObject());
  if (!object) return value;
  if (auto collection = object.DynamicCast<KsObjectCollectionBase>()) {
    rt::ValueArray elements;
    for (uint32_t i = 0; i < collection->GetCount(); ++i) {
      KsRef<KsObject> element;
      collection->GetObjectByIndex(i, &element);
      elements.push_back(Box(element));
    }
    return rt::Value::Array(std::move(elements));
  }
  return rt::Value::String(object->GetClassObject()->GetImplName());
}

template <class T>
void ExpectLikeModel(const std::function<KsRef<T>()>& make, const std::function<rt::Value(T&)>& state,
                     std::span<const Case<T>> cases) {
  for (const Case<T>& c : cases) {
    SCOPED_TRACE(c.selector);
    KsRef<T> twin = make();
    Outs modelOuts;
    rt::Value expected = c.model(*twin, modelOuts);

    KsRef<T> object = make();
    Outs outs;
    const std::vector<rt::Value> arguments = c.arguments(outs);
    rt::Value result;
    ASSERT_EQ(rt::Send(GetCocoaObject(object.Get()).Get(), rt::RegisterSelector(c.selector), arguments, &result),
              rt::RuntimeErr::Ok);
    if (c.freshResult) {
      EXPECT_EQ(Describe(result), Describe(expected));
    } else {
      EXPECT_EQ(result, expected);
    }
    EXPECT_EQ(outs, modelOuts);
    EXPECT_EQ(state(*object), state(*twin));
  }
}

}  // namespace bridged_test
