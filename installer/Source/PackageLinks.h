#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hc::installer {

// The symbolic links a package holds, by member path. The installer never
// makes them: it keeps them here to judge, with LinkResolver, where each
// would lead, and to refuse members that would be written through one.
class PackageLinks {
 public:
  PackageLinks();
  ~PackageLinks();
  PackageLinks(const PackageLinks&) = delete;
  PackageLinks& operator=(const PackageLinks&) = delete;

  // Records the link at path pointing at target; false (nothing recorded)
  // when the path lies below a recorded link or a recorded link lies below
  // it, as then one of them would be written through the other.
  bool add(const std::vector<std::string>& path, const std::string& target);
  // True when a folder on path (not its last component) is a recorded link.
  bool passesThroughLink(const std::vector<std::string>& path) const;
  // The target of the recorded link at path, else none.
  std::optional<std::string> targetAt(const std::vector<std::string>& path) const;
  // The recorded links' paths, joined by slashes, in the order recorded.
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  struct Node {
    std::map<std::string, std::unique_ptr<Node>> children;
    std::optional<std::string> target;
  };
  std::unique_ptr<Node> root_;
  std::vector<std::string> paths_;
};

}  // namespace hc::installer
