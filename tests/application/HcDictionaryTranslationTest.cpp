#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "General/CocoaBridge.h"
#include "General/StringStringTuple.h"
#include "General/StringToStringLookupTable.h"
#include "General/StringTupleCollection.h"
#include "HcDictionaryTranslation.h"
#include "RegisterAllClasses.h"
#include "platform/foundation/PlistValue.h"
#include "platform/runtime/KeyValueCoding.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;
namespace hf = hc::foundation;

namespace {

using Pairs = std::vector<std::pair<const char*, const char*>>;

class HcDictionaryTranslationTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterAllClasses();
    ASSERT_EQ(AppErr::kNoErr, HcDictionaryTranslation::Install());
  }

  void Fill(const Pairs& pairs) {
    for (const auto& [first, second] : pairs) {
      auto tuple = KsMakeRef<StringStringTuple>();
      tuple->SetFirst(first ? PWStringRef(first) : PWStringRef());
      tuple->SetSecond(second ? PWStringRef(second) : PWStringRef());
      m_table->GetTuples()->AddObject(tuple);
    }
  }

  Pairs Tuples() {
    m_seen.clear();
    KsRef<StringTupleCollection> tuples = m_table->GetTuples();
    for (uint32_t index = 0; index < tuples->GetCount(); ++index) {
      KsRef<StringStringTuple> tuple = tuples->GetByIndex(index);
      m_seen.emplace_back(tuple->GetFirst().Str(), tuple->GetSecond().Str());
    }
    Pairs pairs;
    for (const auto& [first, second] : m_seen) pairs.emplace_back(first.c_str(), second.c_str());
    return pairs;
  }

  hf::PlistValue Read() {
    rt::Value value;
    EXPECT_EQ(rt::RuntimeErr::Ok, rt::ValueForKey(m_proxy.Get(), "dictionary", &value));
    return value.GetPropertyList() ? *value.GetPropertyList() : hf::PlistValue();
  }

  rt::RuntimeErr Write(const hf::PlistValue& dictionary) {
    return rt::SetValueForKey(m_proxy.Get(), "dictionary",
                              rt::Value::PropertyList(std::make_shared<const hf::PlistValue>(dictionary)));
  }

  KsRef<StringToStringLookupTable> m_table = KsMakeRef<StringToStringLookupTable>();
  rt::ObjectRef m_proxy = GetCocoaObject(m_table.Get());
  std::vector<std::pair<std::string, std::string>> m_seen;
};

hf::PlistValue Dictionary(const Pairs& pairs) {
  hf::PlistValue dictionary = hf::PlistValue::NewDictionary();
  for (const auto& [key, value] : pairs) dictionary.SetItem(key, hf::PlistValue::FromString(value));
  return dictionary;
}

bool SameTexts(const Pairs& a, const Pairs& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::string(a[i].first) != b[i].first || std::string(a[i].second) != b[i].second) return false;
  }
  return true;
}

}  // namespace

TEST_F(HcDictionaryTranslationTest, ReadingTakesTheEarlierPairOfEqualFirstStrings) {
  struct Case {
    const char* name;
    Pairs tuples;
    Pairs expected;
  };
  const Case cases[] = {
      {"empty table", {}, {}},
      {"earlier pair wins", {{"a", "1"}, {"b", "2"}, {"a", "3"}}, {{"a", "1"}, {"b", "2"}}},
      // A pair missing a string has no place in a dictionary of strings.
      {"incomplete pairs passed over", {{nullptr, "x"}, {"k", nullptr}, {"k", "v"}}, {{"k", "v"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_table->SetTuples(nullptr);
    Fill(c.tuples);
    EXPECT_EQ(Dictionary(c.expected), Read());
    EXPECT_EQ(c.tuples.size(), m_table->GetTuples()->GetCount());
  }
}

TEST_F(HcDictionaryTranslationTest, WritingReplacesEveryPairInReverseKeyOrderAndReadsBackEqual) {
  Fill({{"old", "gone"}, {"older", "gone too"}});
  const hf::PlistValue written = Dictionary({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  ASSERT_EQ(rt::RuntimeErr::Ok, Write(written));
  EXPECT_TRUE(SameTexts(Pairs{{"c", "3"}, {"b", "2"}, {"a", "1"}}, Tuples()));
  EXPECT_EQ(written, Read());
  // The pairs are fresh model objects owned by the table alone.
  EXPECT_EQ(1, m_table->GetTuples()->GetByIndex(0)->GetRetainCount() - 1);

  ASSERT_EQ(rt::RuntimeErr::Ok, Write(hf::PlistValue::NewDictionary()));
  EXPECT_EQ(0u, m_table->GetTuples()->GetCount());
}

TEST_F(HcDictionaryTranslationTest, NilEmptiesTheTableAndOtherValuesLeaveItAsItWas) {
  Fill({{"k", "v"}});
  hf::PlistValue notText = Dictionary({{"a", "1"}});
  notText.SetItem("b", hf::PlistValue::FromInteger(2));
  const rt::Value refused[] = {
      rt::Value::PropertyList(std::make_shared<const hf::PlistValue>(notText)),
      rt::Value::PropertyList(std::make_shared<const hf::PlistValue>(hf::PlistValue::NewArray())),
      rt::Value::String("text"),
  };
  for (const rt::Value& value : refused) {
    EXPECT_EQ(rt::RuntimeErr::ArgumentMismatch, rt::Send(m_proxy.Get(), "setDictionary:", {value}));
    EXPECT_TRUE(SameTexts(Pairs{{"k", "v"}}, Tuples()));
  }
  ASSERT_EQ(rt::RuntimeErr::Ok, rt::Send(m_proxy.Get(), "setDictionary:", {rt::Value::Nil()}));
  EXPECT_EQ(0u, m_table->GetTuples()->GetCount());
  EXPECT_EQ(AppErr::kNoErr, HcDictionaryTranslation::Install());
}
