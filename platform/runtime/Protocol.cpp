#include "platform/runtime/Protocol.h"

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/runtime/ClassRegistry.h"

namespace hc::runtime {

namespace {

struct ProtocolTables {
  std::mutex lock;
  std::map<std::string, ObjectRef, std::less<>> byName;
  std::unordered_map<const Class*, std::vector<Protocol*>> declared;
};

ProtocolTables& Tables() {
  static ProtocolTables* tables = new ProtocolTables();
  return *tables;
}

}  // namespace

Class* Protocol::GetClass() {
  static Class* const cls = [] {
    Class* made = LookUpClass("Protocol");
    if (!made) MakeClass("Protocol", RootClass(), &made);
    return made;
  }();
  return cls;
}

Protocol::Protocol(std::string name, std::vector<Protocol*> adopted)
    : NativeObject(GetClass()), m_name(std::move(name)), m_adopted(std::move(adopted)) {}

// Adoption is fixed when a protocol is made from protocols that exist
// already, so the graph has no cycles and the walk ends.
bool Protocol::ConformsTo(const Protocol* other) const {
  if (!other) return false;
  if (other == this) return true;
  for (const Protocol* adopted : m_adopted) {
    if (adopted->ConformsTo(other)) return true;
  }
  return false;
}

Protocol* LookUpProtocol(std::string_view name) {
  ProtocolTables& tables = Tables();
  std::lock_guard guard(tables.lock);
  const auto found = tables.byName.find(name);
  return found == tables.byName.end() ? nullptr : static_cast<Protocol*>(found->second.Get());
}

Protocol* ObtainProtocol(std::string_view name, std::initializer_list<Protocol*> adopted) {
  ProtocolTables& tables = Tables();
  std::lock_guard guard(tables.lock);
  const auto found = tables.byName.find(name);
  if (found != tables.byName.end()) return static_cast<Protocol*>(found->second.Get());
  std::vector<Protocol*> parents;
  for (Protocol* parent : adopted) {
    if (parent) parents.push_back(parent);
  }
  auto* protocol = new Protocol(std::string(name), std::move(parents));
  tables.byName.emplace(std::string(name), ObjectRef::Adopt(protocol));
  return protocol;
}

Protocol* AsProtocol(Id object) {
  return object && object->isa == Protocol::GetClass() ? static_cast<Protocol*>(object) : nullptr;
}

void AddProtocol(Class* cls, Protocol* protocol) {
  if (!cls || !protocol) return;
  ProtocolTables& tables = Tables();
  std::lock_guard guard(tables.lock);
  std::vector<Protocol*>& list = tables.declared[cls];
  for (const Protocol* present : list) {
    if (present == protocol) return;
  }
  list.push_back(protocol);
}

bool ConformsToProtocol(const Class* cls, const Protocol* protocol) {
  if (!protocol) return false;
  ProtocolTables& tables = Tables();
  std::lock_guard guard(tables.lock);
  for (const Class* walk = cls; walk; walk = walk->GetSuperclass()) {
    const auto found = tables.declared.find(walk);
    if (found == tables.declared.end()) continue;
    for (const Protocol* declared : found->second) {
      if (declared->ConformsTo(protocol)) return true;
    }
  }
  return false;
}

}  // namespace hc::runtime
