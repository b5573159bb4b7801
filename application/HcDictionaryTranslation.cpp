#include "HcDictionaryTranslation.h"

#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "General/CocoaBridge.h"
#include "KsTrace.h"
#include "platform/foundation/PlistValue.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;
namespace hf = hc::foundation;

namespace {

constexpr const char* kTableProxyClass = "C_StringToStringLookupTable";
constexpr const char* kTupleProxyClass = "C_StringStringTuple";

// A pair whose first or second string is missing has no place in a
// dictionary of strings and is passed over.
void AddTuple(const rt::Value& tuple, hf::PlistValue& dictionary) {
  rt::Value first;
  rt::Value second;
  if (rt::RuntimeFailed(rt::Send(tuple.GetObject(), "first", {}, &first)) ||
      rt::RuntimeFailed(rt::Send(tuple.GetObject(), "second", {}, &second))) {
    return;
  }
  if (first.GetType() != rt::Value::Type::kString || second.GetType() != rt::Value::Type::kString) return;
  dictionary.SetItem(first.GetString(), hf::PlistValue::FromString(second.GetString()));
}

rt::RuntimeErr DictionaryImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  rt::Value tuples;
  if (const rt::RuntimeErr err = rt::Send(self, "arrayOfTuples", {}, &tuples); rt::RuntimeFailed(err)) return err;
  const rt::ValueArray& array = tuples.GetArray();
  hf::PlistValue dictionary = hf::PlistValue::NewDictionary();
  // Earlier pairs are written later, so their values win.
  for (size_t index = array.size(); index-- > 0;) AddTuple(array[index], dictionary);
  result = rt::Value::PropertyList(std::make_shared<const hf::PlistValue>(std::move(dictionary)));
  return rt::RuntimeErr::Ok;
}

// Nil stands for an empty dictionary; anything but a dictionary of strings
// is refused before the table is touched.
bool ReadDictionaryArgument(const rt::Value& argument, const hf::PlistValue::DictionaryItems** items) {
  static const hf::PlistValue::DictionaryItems kEmpty;
  *items = &kEmpty;
  if (argument.IsNil()) return true;
  const rt::PlistPtr plist = argument.GetPropertyList();
  const hf::PlistValue::DictionaryItems* dictionary = plist ? plist->AsDictionary() : nullptr;
  if (!dictionary) return false;
  for (const auto& [key, value] : *dictionary) {
    if (!value.AsString()) return false;
  }
  *items = dictionary;
  return true;
}

rt::RuntimeErr RemoveAllTuples(rt::Id self) {
  rt::Value count;
  if (const rt::RuntimeErr err = rt::Send(self, "countOfTuples", {}, &count); rt::RuntimeFailed(err)) return err;
  for (uint32_t removed = 0; removed < count.GetUInt(); ++removed) {
    const rt::RuntimeErr err = rt::Send(self, "removeObjectFromTuplesAtIndex:", {rt::Value::UInt(0)});
    if (rt::RuntimeFailed(err)) return err;
  }
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr InsertTuple(rt::Id self, rt::Class* tupleClass, const std::string& first, const std::string& second) {
  rt::Value tuple;
  if (const rt::RuntimeErr err = rt::Send(rt::ClassAsId(tupleClass), "new", {}, &tuple); rt::RuntimeFailed(err)) {
    return err;
  }
  if (tuple.IsNil()) return rt::RuntimeErr::NilReceiver;
  for (const auto& [setter, text] : {std::pair{"setFirst:", &first}, std::pair{"setSecond:", &second}}) {
    if (const rt::RuntimeErr err = rt::Send(tuple.GetObject(), setter, {rt::Value::String(*text)});
        rt::RuntimeFailed(err)) {
      return err;
    }
  }
  // The table keeps its own reference; the box's goes with it.
  return rt::Send(self, "insertObject:inTuplesAtIndex:", {tuple, rt::Value::UInt(0)});
}

rt::RuntimeErr SetDictionaryImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments, rt::Value&) {
  const hf::PlistValue::DictionaryItems* items = nullptr;
  if (!ReadDictionaryArgument(arguments[0], &items)) return rt::RuntimeErr::ArgumentMismatch;
  rt::Class* tupleClass = rt::LookUpClass(kTupleProxyClass);
  if (!tupleClass) return rt::RuntimeErr::NoSuchClass;
  if (const rt::RuntimeErr err = RemoveAllTuples(self); rt::RuntimeFailed(err)) return err;
  for (const auto& [key, value] : *items) {
    if (const rt::RuntimeErr err = InsertTuple(self, tupleClass, key, *value.AsString()); rt::RuntimeFailed(err)) {
      return err;
    }
  }
  return rt::RuntimeErr::Ok;
}

}  // namespace

eAppErr HcDictionaryTranslation::Install() {
  static std::mutex lock;
  std::lock_guard guard(lock);
  rt::Class* tableClass = rt::LookUpClass(kTableProxyClass);
  if (!tableClass) return KS_TRACE_ERR(AppErr::kNotReady, "Install");
  if (tableClass->FindMethod(rt::RegisterSelector("dictionary"))) return AppErr::kNoErr;
  const rt::RuntimeErr err = tableClass->AddMethods({
      rt::Method{rt::RegisterSelector("dictionary"), "@@:", &DictionaryImp, {}},
      rt::Method{rt::RegisterSelector("setDictionary:"), "v@:@", &SetDictionaryImp, {}},
  });
  if (rt::RuntimeFailed(err)) return KS_TRACE_ERR(AppErrFromRuntimeErr(err), "Install");
  return AppErr::kNoErr;
}
