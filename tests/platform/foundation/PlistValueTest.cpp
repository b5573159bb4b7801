#include "platform/foundation/PlistValue.h"
#include "tests/platform/foundation/PlistPrinting.h"

#include <gtest/gtest.h>

using hc::foundation::FoundationErr;
using hc::foundation::PlistDate;
using hc::foundation::PlistValue;

namespace {

PlistValue NestedSample() {
  PlistValue inner = PlistValue::NewArray();
  inner.Append(PlistValue::FromInteger(-3));
  inner.Append(PlistValue::FromString("text"));
  PlistValue root = PlistValue::NewDictionary();
  root.SetItem("list", inner);
  root.SetItem("flag", PlistValue::FromBool(true));
  return root;
}

}  // namespace

TEST(PlistValue, EachFactoryGivesItsTypeAndOnlyItsAccessorAnswers) {
  const uint8_t bytes[] = {0, 255};
  struct Case {
    PlistValue value;
    PlistValue::Type type;
  } cases[] = {
      {PlistValue(), PlistValue::Type::Null},
      {PlistValue::NewDictionary(), PlistValue::Type::Dictionary},
      {PlistValue::NewArray(), PlistValue::Type::Array},
      {PlistValue::FromString(""), PlistValue::Type::String},
      {PlistValue::FromInteger(0), PlistValue::Type::Integer},
      {PlistValue::FromReal(0), PlistValue::Type::Real},
      {PlistValue::FromBool(false), PlistValue::Type::Bool},
      {PlistValue::FromData(bytes, sizeof bytes), PlistValue::Type::Data},
      {PlistValue::FromDate({}), PlistValue::Type::Date},
  };
  for (const Case& c : cases) {
    const PlistValue& v = c.value;
    EXPECT_EQ(c.type, v.GetType());
    const int answered = (v.AsDictionary() != nullptr) + (v.AsArray() != nullptr) +
                         (v.AsString() != nullptr) + (v.AsInteger() != nullptr) +
                         (v.AsReal() != nullptr) + (v.AsBool() != nullptr) +
                         (v.AsData() != nullptr) + (v.AsDate() != nullptr);
    EXPECT_EQ(c.type == PlistValue::Type::Null ? 0 : 1, answered);
  }
  // Values of different types are never equal, even when they read alike.
  EXPECT_NE(PlistValue::FromInteger(0), PlistValue::FromReal(0));
  EXPECT_NE(PlistValue::FromInteger(1), PlistValue::FromBool(true));
  EXPECT_TRUE(PlistValue::FromData(nullptr, 3).IsNull());
}

TEST(PlistValue, CopiesAreDeep) {
  const PlistValue original = NestedSample();
  PlistValue copy = original;
  EXPECT_EQ(original, copy);

  (*copy.AsDictionary())["list"].Append(PlistValue::FromReal(1.5));
  EXPECT_NE(original, copy);
  EXPECT_EQ(2u, original.GetItem("list")->GetCount());
  EXPECT_EQ(3u, copy.GetItem("list")->GetCount());
}

TEST(PlistValue, DictionaryEqualityIgnoresTheOrderKeysWereSet) {
  PlistValue a = PlistValue::NewDictionary();
  a.SetItem("x", PlistValue::FromInteger(1));
  a.SetItem("y", PlistValue::FromDate(PlistDate{12.5}));
  PlistValue b = PlistValue::NewDictionary();
  b.SetItem("y", PlistValue::FromDate(PlistDate{12.5}));
  b.SetItem("x", PlistValue::FromInteger(2));
  EXPECT_NE(a, b);
  b.SetItem("x", PlistValue::FromInteger(1));  // replaces
  EXPECT_EQ(a, b);
  EXPECT_EQ(2u, b.GetCount());
}

TEST(PlistValue, ContainerOperationsRefuseOtherTypes) {
  PlistValue text = PlistValue::FromString("s");
  EXPECT_EQ(FoundationErr::BadArgument, text.SetItem("k", PlistValue::FromBool(true)));
  EXPECT_EQ(FoundationErr::BadArgument, text.Append(PlistValue::FromBool(true)));
  EXPECT_EQ(nullptr, text.GetItem("k"));
  EXPECT_EQ(0u, text.GetCount());
  EXPECT_EQ(PlistValue::FromString("s"), text);
  EXPECT_EQ(nullptr, NestedSample().GetItem("missing"));
}
