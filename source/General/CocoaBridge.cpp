#include "General/CocoaBridge.h"

#include <string>

#include "General/CocoaAccessors.h"
#include "General/CocoaProxyClass.h"
#include "InterfaceCocoa/NSObjectProxy.h"
#include "KsTrace.h"
#include "Utilities/Chameleon.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/HcProperty.h"
#include "Utilities/KsPropertyType.h"
#include "Utilities/XMLStringEmitter.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/KeyValueObserving.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"

namespace rt = hc::runtime;

namespace {

void BridgeRetain(rt::Id object) { KsObject::FromCocoaId(object)->Retain(); }
void BridgeRelease(rt::Id object) { KsObject::FromCocoaId(object)->Release(); }
uint32_t BridgeRetainCount(rt::Id object) {
  return static_cast<uint32_t>(KsObject::FromCocoaId(object)->GetRetainCount());
}
// A model object's count is its own: the run time retains and releases it.
constexpr rt::MemoryOps kBridgeMemoryOps{&BridgeRetain, &BridgeRelease, &BridgeRetainCount};

rt::Method Entry(const char* selector, const char* types, rt::Imp imp) {
  return rt::Method{rt::RegisterSelector(selector), types, imp, {}};
}

KsObject* Model(rt::Id self) { return KsObject::FromCocoaId(self); }

rt::Value ObjectValue(KsObject* object) {
  return object ? rt::Value::Object(GetCocoaObject(object)) : rt::Value::Nil();
}

rt::RuntimeErr HcMLDescriptionImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  PWStringRef text = WriteObjectToHcMLString(Model(self)->ThisRef());
  result = text.IsNull() ? rt::Value::Nil() : rt::Value::String(std::string(text.View()));
  return rt::RuntimeErr::Ok;
}

bool CoderIsKeyed(rt::Id coder) {
  rt::Value keyed;
  return !rt::RuntimeFailed(rt::Send(coder, "allowsKeyedCoding", {}, &keyed)) && keyed.GetBool();
}

rt::RuntimeErr EncodeWithCoderImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                  rt::Value&) {
  rt::Value description;
  rt::RuntimeErr err = rt::Send(self, "HcMLDescription", {}, &description);
  if (rt::RuntimeFailed(err)) return err;
  const rt::Id coder = arguments[0].GetObject();
  if (!CoderIsKeyed(coder)) return rt::RuntimeErr::Ok;
  return rt::Send(coder, "encodeObject:forKey:", {description, rt::Value::String("hcml")});
}

// Loads the text into a new model object; the receiver (what "alloc" made)
// is released whatever happens.
rt::RuntimeErr InitWithHcML(rt::Id self, const std::string& text, rt::Value& result) {
  rt::Release(self);
  result = rt::Value::Nil();
  auto holder = KsMakeRef<Chameleon>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetPathRoot(holder);
  loader->SetRootObject(holder);
  loader->SetHcMLToLoad(PWStringRef(text));
  if (AppErrFailed(loader->LoadHcML())) KS_TRACE(KsTrace::kError, "Error loading object!");
  if (KsRef<KsObject> loaded = holder->GetPropValue()) result = ObjectValue(loaded.Get());
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr InitWithHcMLImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                               rt::Value& result) {
  return InitWithHcML(self, arguments[0].GetString(), result);
}

rt::RuntimeErr InitWithCoderImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                rt::Value& result) {
  const rt::Id coder = arguments[0].GetObject();
  rt::Value text;
  if (!CoderIsKeyed(coder) ||
      rt::RuntimeFailed(rt::Send(coder, "decodeObjectForKey:", {rt::Value::String("hcml")}, &text)) ||
      text.GetType() != rt::Value::Type::kString) {
    rt::Release(self);
    result = rt::Value::Nil();
    return rt::RuntimeErr::Ok;
  }
  return InitWithHcML(self, text.GetString(), result);
}

rt::RuntimeErr ValueForUndefinedKeyImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                       rt::Value& result) {
  KsRef<KsObject> object(Model(self));
  KsRef<HcProperty> property =
      object->GetClassObject()->FindProperty(CapitalizeFirstLetter(PWStringRef(arguments[0].GetString())));
  if (!property) return rt::RuntimeErr::UndefinedKey;
  result = CocoaValueFromProperty(property.Get(), object.Get());
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr SetValueForUndefinedKeyImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                          rt::Value&) {
  KsRef<KsObject> object(Model(self));
  KsRef<HcProperty> property =
      object->GetClassObject()->FindProperty(CapitalizeFirstLetter(PWStringRef(arguments[1].GetString())));
  if (!property) return rt::RuntimeErr::UndefinedKey;
  if (AppErrFailed(SetPropertyFromCocoaValue(property.Get(), object.Get(), arguments[0]))) {
    return rt::RuntimeErr::ArgumentMismatch;
  }
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr NoImp(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Bool(false);
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr KsBaseObjectImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Pointer(Model(self));
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr AssignUUIDImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Int(Model(self)->AssignUUID());
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr CopyImp(rt::Id self, const rt::Method& method, std::span<const rt::Value>, rt::Value& result) {
  KsRef<KsObject> copy;
  if (rt::SelectorName(method.selector) == "deepCopy") {
    Model(self)->DeepCopy(copy);
  } else {
    Model(self)->Copy(copy);
  }
  result = ObjectValue(copy.Get());
  return rt::RuntimeErr::Ok;
}

void ObserverDestroyed(rt::Id observer) { NSObjectProxy::RemoveAllProxiesForNSObject(observer); }
const char kObserverHookKey = 0;

rt::RuntimeErr AddObserverImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments, rt::Value&) {
  const rt::Id observer = arguments[0].GetObject();
  const std::string& keyPath = arguments[1].GetString();
  // Key paths through other objects are the run time's (which observes
  // plain keys only).
  if (keyPath.find('.') != std::string::npos) {
    return rt::AddKeyObserver(self, observer, keyPath, arguments[3].GetPointer().pointer);
  }
  if (!observer) return rt::RuntimeErr::NilReceiver;
  KsRef<KsObject> object(Model(self));
  const PWStringRef key(keyPath);
  if (KsRef<KsObject> modelObserver = KsObjectFromCocoa(observer)) {
    object->AddObserver(modelObserver, key, 0);
    return rt::RuntimeErr::Ok;
  }
  auto proxy = KsMakeRef<NSObjectProxy>();
  proxy->SetObject(observer);
  proxy->SetKeyPath(key);
  proxy->SetContext(arguments[3].GetPointer().pointer);
  object->AddObserver(proxy, key, 0);
  rt::AddDestructionHook(observer, &kObserverHookKey, &ObserverDestroyed);
  return rt::RuntimeErr::Ok;
}

KsRef<NSObjectProxy> FindObserverProxy(KsObject* object, rt::Id observer, const PWStringRef& keyPath) {
  for (const KsRef<KsObject>& candidate : object->GetLiveObservers()) {
    auto proxy = candidate.DynamicCast<NSObjectProxy>();
    if (proxy && proxy->GetObject() == observer && proxy->GetKeyPath() == keyPath) return proxy;
  }
  return {};
}

rt::RuntimeErr RemoveObserverImp(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                 rt::Value&) {
  const rt::Id observer = arguments[0].GetObject();
  const std::string& keyPath = arguments[1].GetString();
  if (keyPath.find('.') != std::string::npos) return rt::RemoveKeyObserver(self, observer, keyPath);
  KsRef<KsObject> object(Model(self));
  const PWStringRef key(keyPath);
  if (KsRef<KsObject> modelObserver = KsObjectFromCocoa(observer)) {
    object->RemoveObserver(modelObserver, key);
    return rt::RuntimeErr::Ok;
  }
  while (KsRef<NSObjectProxy> proxy = FindObserverProxy(object.Get(), observer, key)) {
    object->RemoveObserver(proxy, key);
    NSObjectProxy::RemoveFromProxyMap(proxy);
  }
  return rt::RuntimeErr::Ok;
}

rt::Class* MakeCKsObjectClass() {
  rt::Class* cls = nullptr;
  if (rt::RuntimeFailed(rt::MakeClass("C_KsObject", rt::RootClass(), &cls))) return rt::LookUpClass("C_KsObject");
  cls->SetMemoryOps(&kBridgeMemoryOps);
  cls->AddMethods({
      Entry("encodeWithCoder:", "v@:@", &EncodeWithCoderImp),
      Entry("initWithCoder:", "@@:@", &InitWithCoderImp),
      Entry("initWithHcML:", "@@:@", &InitWithHcMLImp),
      Entry("HcMLDescription", "@@:", &HcMLDescriptionImp),
      Entry("valueForUndefinedKey:", "@@:@", &ValueForUndefinedKeyImp),
      Entry("setValue:forUndefinedKey:", "v@:@@", &SetValueForUndefinedKeyImp),
      Entry("ksBaseObject", "^v@:", &KsBaseObjectImp),
      Entry("assignUUID", "i@:", &AssignUUIDImp),
      Entry("addObserver:forKeyPath:options:context:", "v@:@@I^v", &AddObserverImp),
      Entry("removeObserver:forKeyPath:", "v@:@@", &RemoveObserverImp),
      Entry("copy", "@@:", &CopyImp),
      Entry("deepCopy", "@@:", &CopyImp),
  });
  // Changes reach observers through the model's own notification only.
  cls->GetMetaclass()->AddMethods({Entry("automaticallyNotifiesObserversForKey:", "B@:@", &NoImp)});
  return cls;
}

}  // namespace

rt::Class* GetCKsObjectClass() {
  static rt::Class* cls = MakeCKsObjectClass();
  return cls;
}

void BindCocoaClass(KsObject* object) {
  if (!object) return;
  KsRef<KsClassObject> classObject = object->GetClassObject();
  if (classObject) object->SetCocoaClass(classObject->GetCocoaClass());
}

rt::ObjectRef GetCocoaObject(KsObject* object) {
  if (!object) return {};
  if (!object->GetCocoaClass()) BindCocoaClass(object);
  // Without a proxy class the object has no run-time identity.
  if (!object->GetCocoaClass()) return {};
  return rt::ObjectRef(object->GetCocoaId());
}

bool IsBridgedObject(rt::Id object) { return rt::IsKindOf(object, GetCKsObjectClass()); }

KsRef<KsObject> KsObjectFromCocoa(rt::Id object) {
  if (!IsBridgedObject(object)) return {};
  return KsRef<KsObject>(KsObject::FromCocoaId(object));
}

PWStringRef CapitalizeFirstLetter(const PWStringRef& name) {
  if (name.IsNull()) return name;
  std::string text(name.View());
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return PWStringRef(std::move(text));
}

namespace {

struct AccessorTypes {
  const char* getter;
  const char* setter;
};

// By property type (index = KsPropertyType code).
constexpr AccessorTypes kAccessorTypes[] = {
    {"", ""},
    {"f@:", "v@:f"},
    {"i@:", "v@:i"},
    {"I@:", "v@:I"},
    {"@@:", "v@:@"},
    {"@@:", "v@:@"},
    {"B@:", "v@:B"},
    {"^v@:", "v@:^v"},
    {"{_NSPoint=ff}@:", "v@:{_NSPoint=ff}"},
    {"{_NSSize=ff}@:", "v@:{_NSSize=ff}"},
    {"{_NSRect={_NSPoint=ff}{_NSSize=ff}}@:", "v@:{_NSRect={_NSPoint=ff}{_NSSize=ff}}"},
    {"@@:", "v@:@"},
    {"d@:", "v@:d"},
    {"@@:", "v@:@"},
    {"q@:", "v@:q"},
};

}  // namespace

eAppErr MakePropertyAccessorMethods(HcProperty* property, rt::Method* getter, rt::Method* setter) {
  if (getter) *getter = rt::Method{};
  if (setter) *setter = rt::Method{};
  if (!property || !KsPropertyType::IsKnownType(property->GetPropertyType())) return AppErr::kNoErr;
  const std::string name(property->GetName().View());
  if (name.empty()) return AppErr::kNoErr;
  const AccessorTypes& types = kAccessorTypes[property->GetPropertyType()];
  if (setter && property->GetCanSet()) {
    *setter = rt::Method{rt::RegisterSelector("set" + name + ":"), types.setter, &TypedSetterImp, {}};
  }
  if (getter && property->GetCanGet()) {
    std::string getterName = name;
    const bool secondUpper = name.size() > 1 && name[1] >= 'A' && name[1] <= 'Z';
    // Names that begin with the class prefix keep it as it stands ("HcContext").
    const bool classPrefix = name.size() > 2 && name.compare(0, 2, "Hc") == 0 && name[2] >= 'A' && name[2] <= 'Z';
    if (name[0] >= 'A' && name[0] <= 'Z' && !secondUpper && !classPrefix) getterName[0] = static_cast<char>(name[0] - 'A' + 'a');
    *getter = rt::Method{rt::RegisterSelector(getterName), types.getter, &TypedGetterImp, {}};
  }
  return AppErr::kNoErr;
}

eAppErr MakeCollectionAccessorMethods(HcProperty* property, std::vector<rt::Method>& methods) {
  if (!property) return AppErr::kBadArgument;
  const std::string name(property->GetName().View());
  const std::pair<std::string, const char*> patterns[] = {
      {"countOf" + name, "I@:"},
      {"objectIn" + name + "AtIndex:", "@@:I"},
      {"insertObject:in" + name + "AtIndex:", "v@:@I"},
      {"replaceObjectIn" + name + "AtIndex:withObject:", "v@:I@"},
      {"removeObjectFrom" + name + "AtIndex:", "v@:I"},
      {"removeObjectFrom" + name + ":", "v@:@"},
      {"arrayOf" + name, "@@:"},
  };
  for (const auto& [selector, types] : patterns) {
    methods.push_back(rt::Method{rt::RegisterSelector(selector), types, &CollectionAccessorImp, {}});
  }
  return AppErr::kNoErr;
}

void DetachObserverProxies(KsObject* object) {
  if (!object || !object->HasObservers()) return;
  for (const KsRef<KsObject>& observer : object->GetLiveObservers()) {
    if (auto proxy = observer.DynamicCast<NSObjectProxy>()) NSObjectProxy::RemoveFromProxyMap(proxy);
  }
}

eAppErr AppErrFromRuntimeErr(rt::RuntimeErr err) {
  switch (err) {
    case rt::RuntimeErr::Ok: return AppErr::kNoErr;
    case rt::RuntimeErr::UnrecognizedSelector:
    case rt::RuntimeErr::UndefinedKey:
    case rt::RuntimeErr::NoSuchClass: return AppErr::kNotFound;
    case rt::RuntimeErr::ArgumentMismatch:
    case rt::RuntimeErr::BadTypeString:
    case rt::RuntimeErr::NilReceiver: return AppErr::kBadArgument;
    default: return AppErr::kGeneral;
  }
}
