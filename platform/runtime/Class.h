#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/runtime/Object.h"
#include "platform/runtime/RuntimeErr.h"
#include "platform/runtime/Selector.h"
#include "platform/runtime/TypeEncoding.h"
#include "platform/runtime/Value.h"

namespace hc::runtime {

struct Method;

// A method's code: the receiver, the method being run (its selector tells
// shared implementations apart), the arguments (already checked against the
// type string) and the result box to fill.
using Imp = RuntimeErr (*)(Id self, const Method& method, std::span<const Value> arguments, Value& result);

struct Method {
  Selector selector = nullptr;
  std::string types;
  Imp imp = nullptr;
  Signature signature;  // read from types when the method is added
};

using MethodList = std::vector<Method>;

// How objects of a class (and its subclasses) are counted.
struct MemoryOps {
  void (*retain)(Id object);
  void (*release)(Id object);
  uint32_t (*retainCount)(Id object);
};

// A class or metaclass of the run time. A class is itself an object whose
// class word names its metaclass, so class methods are sent to it like any
// message. Method lists are added after the class exists; a lookup searches
// the list added last first, then the superclass.
class Class : public Object {
 public:
  Class(std::string name, Class* superclass, bool isMetaclass);
  Class(const Class&) = delete;
  Class& operator=(const Class&) = delete;

  const std::string& GetName() const { return m_name; }
  Class* GetSuperclass() const { return m_superclass; }
  Class* GetMetaclass() const { return isa; }
  bool IsMetaclass() const { return m_isMetaclass; }
  // This class or one of its ancestors.
  bool InheritsFrom(const Class* other) const;

  // Adds the list as one unit. Every entry's type string must read and
  // declare as many arguments as its selector; otherwise nothing is added
  // and BadTypeString is returned.
  RuntimeErr AddMethods(MethodList list);
  size_t GetMethodListCount() const;
  // Null when neither this class nor an ancestor has the selector.
  const Method* FindMethod(Selector selector) const;

  void SetMemoryOps(const MemoryOps* ops) { m_memoryOps.store(ops, std::memory_order_release); }
  // This class's own, else the nearest ancestor's; null for none.
  const MemoryOps* GetMemoryOps() const;

 private:
  const Method* FindUncached(Selector selector) const;

  std::string m_name;
  Class* m_superclass;
  bool m_isMetaclass;
  std::atomic<const MemoryOps*> m_memoryOps{nullptr};
  mutable std::shared_mutex m_listLock;
  std::vector<std::shared_ptr<const MethodList>> m_lists;
  mutable std::mutex m_cacheLock;
  mutable std::unordered_map<Selector, const Method*> m_cache;
  mutable uint64_t m_cacheGeneration = 0;
};

}  // namespace hc::runtime
