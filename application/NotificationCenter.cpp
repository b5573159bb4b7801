#include "NotificationCenter.h"

#include <algorithm>

#include "KsTrace.h"
#include "Notification.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/NativeObject.h"

namespace rt = hc::runtime;

namespace {

void ForgetDeadObserver(rt::Id observer) { NotificationCenter::DefaultCenter().RemoveObserver(observer); }

// Holds the observer for the delivery unless it is already dying.
bool RetainForDelivery(rt::Id observer) {
  if (rt::NativeObject* native = rt::NativeObject::From(observer)) return native->TryRetain();
  rt::Retain(observer);
  return true;
}

}  // namespace

NotificationCenter& NotificationCenter::DefaultCenter() {
  static NotificationCenter center;
  return center;
}

void NotificationCenter::AddObserver(rt::Id observer, rt::Selector selector, std::string name, rt::Id sender) {
  if (!observer || !selector) return;
  if (this == &DefaultCenter()) rt::AddDestructionHook(observer, this, &ForgetDeadObserver);
  std::lock_guard guard(m_lock);
  m_observations.push_back({observer, selector, std::move(name), sender});
}

void NotificationCenter::RemoveObserver(rt::Id observer) {
  std::lock_guard guard(m_lock);
  std::erase_if(m_observations, [observer](const Observation& entry) { return entry.observer == observer; });
}

void NotificationCenter::Post(std::string_view name, rt::Id object) {
  std::vector<Observation> receivers;
  {
    std::lock_guard guard(m_lock);
    for (const Observation& entry : m_observations) {
      if (entry.name != name || (entry.sender && entry.sender != object)) continue;
      if (RetainForDelivery(entry.observer)) receivers.push_back(entry);
    }
  }
  const rt::ObjectRef notification = Notification::Make(name, object);
  for (const Observation& entry : receivers) {
    const rt::Value arguments[] = {rt::Value::Object(notification.Get())};
    const rt::RuntimeErr err = rt::Send(entry.observer, entry.selector, arguments, nullptr);
    if (rt::RuntimeFailed(err)) {
      KS_TRACE(KsTrace::kWarning, "Observer of %s refused %s: %s", std::string(name),
               rt::SelectorName(entry.selector), rt::RuntimeErrName(err));
    }
    rt::Release(entry.observer);
  }
}
