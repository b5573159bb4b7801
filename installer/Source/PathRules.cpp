#include "installer/Source/PathRules.h"

namespace hc::installer {

namespace {

std::vector<std::string_view> splitComponents(std::string_view path) {
  std::vector<std::string_view> components;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    std::string_view component = path.substr(0, slash);
    if (!component.empty() && component != ".") components.push_back(component);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return components;
}

// Applies components to a stack of resolved ones; false when ".." climbs
// above the start.
bool resolveInto(std::vector<std::string_view>& resolved, std::string_view path) {
  for (std::string_view component : splitComponents(path)) {
    if (component == "..") {
      if (resolved.empty()) return false;
      resolved.pop_back();
    } else {
      resolved.push_back(component);
    }
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::string>> PathRules::containedComponents(std::string_view relative) {
  if (relative.empty() || relative.front() == '/' ||
      relative.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  std::vector<std::string> components;
  for (std::string_view component : splitComponents(relative)) {
    if (component == "..") return std::nullopt;
    components.emplace_back(component);
  }
  if (components.empty()) return std::nullopt;
  return components;
}

bool PathRules::linkStaysInside(std::string_view linkPath, std::string_view target,
                                std::string_view rootPath) {
  if (target.empty() || target.find('\0') != std::string_view::npos) return false;
  auto linkComponents = containedComponents(linkPath);
  if (!linkComponents) return false;
  if (target.front() == '/') {
    if (rootPath.empty() || rootPath.front() != '/') return false;
    std::vector<std::string_view> root, resolved;
    if (!resolveInto(root, rootPath)) return false;
    // ".." above "/" stays at "/", as the kernel resolves it.
    for (std::string_view component : splitComponents(target)) {
      if (component == "..") {
        if (!resolved.empty()) resolved.pop_back();
      } else {
        resolved.push_back(component);
      }
    }
    if (resolved.size() < root.size()) return false;
    for (std::size_t i = 0; i < root.size(); ++i) {
      if (resolved[i] != root[i]) return false;
    }
    return true;
  }
  std::vector<std::string_view> resolved(linkComponents->begin(), linkComponents->end() - 1);
  return resolveInto(resolved, target);
}

std::string PathRules::lastPathComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos || path.size() == 1) return std::string(path);
  return std::string(path.substr(slash + 1));
}

std::string PathRules::deletingLastPathComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return std::string();
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string PathRules::deletingPathExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::string(name);
  return std::string(name.substr(0, dot));
}

std::string PathRules::escapedForMessage(std::string_view text) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (byte < 0x20 || byte == 0x7f) {
      escaped += "\\x";
      escaped += kDigits[byte >> 4];
      escaped += kDigits[byte & 0x0f];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

}  // namespace hc::installer
