#include "platform/runtime/Selector.h"

#include <algorithm>
#include <mutex>
#include <shared_mutex>
#include <unordered_set>

namespace hc::runtime {

namespace {

struct SelectorTable {
  std::shared_mutex lock;
  // Node-based: the address of each name stays put while the table grows.
  std::unordered_set<std::string> names;
};

SelectorTable& Table() {
  static SelectorTable* table = new SelectorTable();
  return *table;
}

}  // namespace

Selector RegisterSelector(std::string_view name) {
  SelectorTable& table = Table();
  const std::string key(name);
  {
    std::shared_lock read(table.lock);
    auto found = table.names.find(key);
    if (found != table.names.end()) return &*found;
  }
  std::unique_lock write(table.lock);
  return &*table.names.insert(key).first;
}

const std::string& SelectorName(Selector selector) {
  static const std::string empty;
  return selector ? *selector : empty;
}

size_t SelectorArity(Selector selector) {
  const std::string& name = SelectorName(selector);
  return static_cast<size_t>(std::count(name.begin(), name.end(), ':'));
}

}  // namespace hc::runtime
