#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/Class.h"
#include "platform/runtime/NativeObject.h"
#include "platform/runtime/RuntimeErr.h"

namespace hc::runtime {

// A named protocol: a promise a class makes by declaring it, checked by
// name and by the protocols it adopts, never by the methods present.
// Protocols are objects of the class "Protocol", so they travel in value
// boxes; they live for the whole run and are never freed.
class Protocol : public NativeObject {
 public:
  static Class* GetClass();

  const std::string& GetName() const { return m_name; }
  const std::vector<Protocol*>& GetAdopted() const { return m_adopted; }
  // This protocol, or one it adopts directly or through others.
  bool ConformsTo(const Protocol* other) const;

 private:
  friend Protocol* ObtainProtocol(std::string_view, std::initializer_list<Protocol*>);
  Protocol(std::string name, std::vector<Protocol*> adopted);

  std::string m_name;
  std::vector<Protocol*> m_adopted;
};

// The process-wide table of protocols by name (letter case counts).

// Null when no protocol has the name.
Protocol* LookUpProtocol(std::string_view name);
// The protocol of the name, made with the adopted protocols when it is new;
// an existing protocol keeps what it adopted when it was made.
Protocol* ObtainProtocol(std::string_view name, std::initializer_list<Protocol*> adopted = {});
// The object as a protocol; null for anything else.
Protocol* AsProtocol(Id object);

// Declares that the class (and every class derived from it) conforms.
void AddProtocol(Class* cls, Protocol* protocol);
// The class or an ancestor declared the protocol or one adopting it.
bool ConformsToProtocol(const Class* cls, const Protocol* protocol);

}  // namespace hc::runtime
