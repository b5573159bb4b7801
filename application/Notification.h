#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/NativeObject.h"
#include "platform/runtime/ObjectRef.h"

// What an observer of a named notification is sent: the run-time object of
// class "NSNotification" answering "name" and "object" (the sender, or nil).
class Notification : public hc::runtime::NativeObject {
 public:
  static hc::runtime::Class* GetClass();
  // A new notification (one reference, owned by the caller).
  static hc::runtime::ObjectRef Make(std::string_view name, hc::runtime::Id object);

  const std::string& GetName() const { return m_name; }
  hc::runtime::Id GetObject() const { return m_object.Get(); }

 private:
  Notification(std::string_view name, hc::runtime::Id object);

  std::string m_name;
  hc::runtime::ObjectRef m_object;
};
