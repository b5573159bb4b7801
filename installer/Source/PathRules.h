#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hc::installer {

// Lexical rules for paths that come from packages, bills of materials and
// catalogs: such a path names something inside its folder, never outside.
class PathRules {
 public:
  // The components of a relative path without empty and "." ones; none when
  // the path is absolute, holds a ".." component or a NUL, or names nothing.
  static std::optional<std::vector<std::string>> containedComponents(std::string_view relative);
  static bool isContainedRelativePath(std::string_view relative) {
    return containedComponents(relative).has_value();
  }
  // True when a symbolic link at linkPath (relative to its root) pointing at
  // target resolves, lexically, inside the root. An absolute target counts as
  // inside only when it lies below rootPath; an empty rootPath refuses them.
  static bool linkStaysInside(std::string_view linkPath, std::string_view target,
                              std::string_view rootPath);

  // The last component of a path ("/a/b.tgz" gives "b.tgz").
  static std::string lastPathComponent(std::string_view path);
  // The path without its last component ("/a/b" gives "/a", "/a" gives "/").
  static std::string deletingLastPathComponent(std::string_view path);
  // A file name without its last extension ("Update.tgz" gives "Update").
  static std::string deletingPathExtension(std::string_view name);

  // Text made safe for one line of the status file: a backslash is doubled,
  // a newline, return or tab becomes \n, \r or \t and any other control
  // byte \xHH; everything else (UTF-8 included) stays as it is.
  static std::string escapedForMessage(std::string_view text);
};

}  // namespace hc::installer
