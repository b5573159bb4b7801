#include "platform/runtime/KeyedArchive.h"

#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"

namespace hc::runtime {

KeyedCoder::KeyedCoder(bool keyed, KeyedArchive archive)
    : NativeObject(GetClass()), m_keyed(keyed), m_archive(std::move(archive)) {}

Class* KeyedCoder::GetClass() {
  static Class* cls = [] {
    Class* made = nullptr;
    MakeClass("KeyedCoder", RootClass(), &made);
    made->AddMethods({
        Method{RegisterSelector("allowsKeyedCoding"), "B@:", &AllowsKeyedCodingImp, {}},
        Method{RegisterSelector("encodeObject:forKey:"), "v@:@@", &EncodeImp, {}},
        Method{RegisterSelector("decodeObjectForKey:"), "@@:@", &DecodeImp, {}},
    });
    return made;
  }();
  return cls;
}

KeyedCoder* KeyedCoder::Make(bool keyed, KeyedArchive archive) { return new KeyedCoder(keyed, std::move(archive)); }

RuntimeErr KeyedCoder::AllowsKeyedCodingImp(Id self, const Method&, std::span<const Value>, Value& result) {
  result = Value::Bool(Self(self)->m_keyed);
  return RuntimeErr::Ok;
}

RuntimeErr KeyedCoder::EncodeImp(Id self, const Method&, std::span<const Value> arguments, Value&) {
  KeyedCoder* coder = Self(self);
  if (!coder->m_keyed) return RuntimeErr::NotKeyedCoder;
  if (arguments[0].GetType() != Value::Type::kString || arguments[1].GetType() != Value::Type::kString) {
    return RuntimeErr::ArgumentMismatch;
  }
  coder->m_archive.strings[arguments[1].GetString()] = arguments[0].GetString();
  return RuntimeErr::Ok;
}

RuntimeErr KeyedCoder::DecodeImp(Id self, const Method&, std::span<const Value> arguments, Value& result) {
  KeyedCoder* coder = Self(self);
  result = Value::Nil();
  if (!coder->m_keyed) return RuntimeErr::NotKeyedCoder;
  auto found = coder->m_archive.strings.find(arguments[0].GetString());
  if (found != coder->m_archive.strings.end()) result = Value::String(found->second);
  return RuntimeErr::Ok;
}

RuntimeErr ArchiveObject(Id object, KeyedArchive* archive, bool keyed) {
  if (!object) return RuntimeErr::NilReceiver;
  ObjectRef coder = ObjectRef::Adopt(KeyedCoder::Make(keyed, KeyedArchive{ClassOf(object)->GetName(), {}}));
  const Value arguments[] = {Value::Object(coder)};
  const RuntimeErr err = Send(object, RegisterSelector("encodeWithCoder:"), arguments, nullptr);
  if (RuntimeFailed(err)) return err;
  if (archive) *archive = static_cast<KeyedCoder*>(coder.Get())->GetArchive();
  return RuntimeErr::Ok;
}

RuntimeErr UnarchiveObject(const KeyedArchive& archive, ObjectRef* object, bool keyed) {
  if (object) *object = ObjectRef();
  Class* cls = LookUpClass(archive.className);
  if (!cls) return RuntimeErr::NoSuchClass;
  Value allocated;
  RuntimeErr err = Send(ClassAsId(cls), RegisterSelector("alloc"), {}, &allocated);
  if (RuntimeFailed(err)) return err;
  if (allocated.IsNil()) return RuntimeErr::Ok;
  ObjectRef coder = ObjectRef::Adopt(KeyedCoder::Make(keyed, archive));
  const Value arguments[] = {Value::Object(coder)};
  // "initWithCoder:" takes over the reference "alloc" gave.
  ObjectRef receiver = allocated.GetObjectRef();
  allocated = Value();
  const Selector initWithCoder = RegisterSelector("initWithCoder:");
  if (!RespondsTo(receiver.Get(), initWithCoder)) return RuntimeErr::UnrecognizedSelector;
  Value initialised;
  err = Send(receiver.Detach(), initWithCoder, arguments, &initialised);
  if (RuntimeFailed(err)) return err;
  if (object) *object = initialised.GetObjectRef();
  return RuntimeErr::Ok;
}

}  // namespace hc::runtime
