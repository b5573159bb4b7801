#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hc::installer {

// Follows symbolic links the way the kernel does, over a tree it is told
// about (a folder on disk, or the links of a package that are never made),
// to judge where a path really leads: inside its root or not. Links are
// followed with the links the tree holds now, so a link whose own target
// looks harmless but passes through another link ("l1 -> l0/.." with
// "l0 -> .") is judged by where it ends.
class LinkResolver {
 public:
  // Links followed while resolving one path, as the kernel allows.
  static constexpr int kMaxHops = 40;
  // Longest path, in bytes, that a resolution may pass through.
  static constexpr std::size_t kMaxPathBytes = 4096;

  enum class Outcome {
    Inside,        // the path ends inside the root (whether anything is there or not)
    Outside,       // a ".." climbs above the root, or an absolute target lies elsewhere
    Unresolvable,  // too many links, too long a path, or the step budget is spent
  };

  // The target of the symbolic link at path (components below the root,
  // none of them a link), or none when the item there is no link or does
  // not exist. An empty target (an unreadable link) leads nowhere.
  using LookUp = std::function<std::optional<std::string>(const std::vector<std::string>& path)>;

  // rootPath: the absolute path where the root is (or will be) found;
  // absolute targets below it lead inside, and every absolute target leads
  // outside when it is empty. budget: components the resolver may take in
  // all, over every path it resolves; once spent, every outcome is
  // Unresolvable.
  LinkResolver(std::string_view rootPath, LookUp lookUp, std::size_t budget);

  // Where relativePath (below the root) leads when every link on it, the
  // last component included, is followed.
  Outcome resolve(std::string_view relativePath);

 private:
  // Replaces the pending components with target's ones, relative to the
  // current folder or, for an absolute target, to the root.
  bool enterTarget(const std::string& target, std::vector<std::string>& current,
                   std::vector<std::string>& pending) const;

  std::vector<std::string> rootComponents_;
  bool hasRoot_ = false;
  LookUp lookUp_;
  std::size_t budget_;
};

}  // namespace hc::installer
