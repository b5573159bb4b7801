#include "installer/Source/LinkResolver.h"

#include <algorithm>

namespace hc::installer {

namespace {

// Components of a path without empty and "." ones, ".." kept.
std::vector<std::string> components(std::string_view path) {
  std::vector<std::string> result;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view component = path.substr(0, slash);
    if (!component.empty() && component != ".") result.emplace_back(component);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return result;
}

}  // namespace

LinkResolver::LinkResolver(std::string_view rootPath, LookUp lookUp, std::size_t budget)
    : lookUp_(std::move(lookUp)), budget_(budget) {
  if (!rootPath.empty() && rootPath.front() == '/') {
    rootComponents_ = components(rootPath);
    hasRoot_ = std::find(rootComponents_.begin(), rootComponents_.end(), "..") ==
               rootComponents_.end();
  }
}

bool LinkResolver::enterTarget(const std::string& target, std::vector<std::string>& current,
                               std::vector<std::string>& pending) const {
  std::vector<std::string> next = components(target);
  if (!target.empty() && target.front() == '/') {
    // Only a target that names the root itself, plainly, leads back in.
    if (!hasRoot_ || next.size() < rootComponents_.size() ||
        !std::equal(rootComponents_.begin(), rootComponents_.end(), next.begin())) {
      return false;
    }
    next.erase(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(rootComponents_.size()));
    current.clear();
  }
  // pending is kept reversed: its next component is at the back.
  pending.insert(pending.end(), next.rbegin(), next.rend());
  return true;
}

LinkResolver::Outcome LinkResolver::resolve(std::string_view relativePath) {
  if (relativePath.empty() || relativePath.front() == '/') return Outcome::Outside;
  std::vector<std::string> current;
  std::vector<std::string> pending = components(relativePath);
  std::reverse(pending.begin(), pending.end());
  std::size_t currentBytes = 0;
  int hops = 0;
  while (!pending.empty()) {
    if (budget_ == 0) return Outcome::Unresolvable;
    --budget_;
    std::string component = std::move(pending.back());
    pending.pop_back();
    if (component == "..") {
      if (current.empty()) return Outcome::Outside;
      currentBytes -= current.back().size() + 1;
      current.pop_back();
      continue;
    }
    currentBytes += component.size() + 1;
    if (currentBytes > kMaxPathBytes || pending.size() > kMaxPathBytes) {
      return Outcome::Unresolvable;
    }
    current.push_back(std::move(component));
    if (auto target = lookUp_(current)) {
      currentBytes -= current.back().size() + 1;
      current.pop_back();
      if (++hops > kMaxHops || target->empty() || target->size() > kMaxPathBytes) {
        return Outcome::Unresolvable;
      }
      if (!enterTarget(*target, current, pending)) return Outcome::Outside;
      if (current.empty()) currentBytes = 0;
    }
  }
  return Outcome::Inside;
}

}  // namespace hc::installer
