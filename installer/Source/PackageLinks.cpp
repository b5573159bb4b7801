#include "installer/Source/PackageLinks.h"

namespace hc::installer {

PackageLinks::PackageLinks() : root_(std::make_unique<Node>()) {}

PackageLinks::~PackageLinks() = default;

bool PackageLinks::add(const std::vector<std::string>& path, const std::string& target) {
  if (path.empty()) return false;
  Node* node = root_.get();
  for (const std::string& component : path) {
    if (node->target) return false;
    std::unique_ptr<Node>& child = node->children[component];
    if (!child) child = std::make_unique<Node>();
    node = child.get();
  }
  if (!node->children.empty()) return false;
  node->target = target;
  std::string joined;
  for (const std::string& component : path) joined += (joined.empty() ? "" : "/") + component;
  paths_.push_back(std::move(joined));
  return true;
}

bool PackageLinks::passesThroughLink(const std::vector<std::string>& path) const {
  const Node* node = root_.get();
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    auto child = node->children.find(path[i]);
    if (child == node->children.end()) return false;
    node = child->second.get();
    if (node->target) return true;
  }
  return false;
}

std::optional<std::string> PackageLinks::targetAt(const std::vector<std::string>& path) const {
  const Node* node = root_.get();
  for (const std::string& component : path) {
    auto child = node->children.find(component);
    if (child == node->children.end()) return std::nullopt;
    node = child->second.get();
  }
  return node->target;
}

}  // namespace hc::installer
