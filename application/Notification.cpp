#include "Notification.h"

#include <span>

#include "platform/runtime/ClassRegistry.h"

namespace rt = hc::runtime;

namespace {

rt::RuntimeErr NameImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::String(static_cast<Notification*>(self)->GetName());
  return rt::RuntimeErr::Ok;
}

rt::RuntimeErr ObjectImp(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
  result = rt::Value::Object(static_cast<Notification*>(self)->GetObject());
  return rt::RuntimeErr::Ok;
}

}  // namespace

rt::Class* Notification::GetClass() {
  static rt::Class* const cls = [] {
    rt::Class* made = nullptr;
    if (rt::RuntimeFailed(rt::MakeClass("NSNotification", rt::RootClass(), &made))) return made;
    made->AddMethods({
        {rt::RegisterSelector("name"), "@@:", &NameImp, {}},
        {rt::RegisterSelector("object"), "@@:", &ObjectImp, {}},
    });
    return made;
  }();
  return cls;
}

Notification::Notification(std::string_view name, rt::Id object)
    : NativeObject(GetClass()), m_name(name), m_object(object) {}

rt::ObjectRef Notification::Make(std::string_view name, rt::Id object) {
  return rt::ObjectRef::Adopt(new Notification(name, object));
}
