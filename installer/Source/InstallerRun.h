#pragma once

#include <string>
#include <vector>

namespace hc::installer {

// The UpdateInstaller program: every argument is the path of an update
// definition, installed in argument order; after the first failure the
// remaining definitions only get their status files. The option
// "--debug-mode" (or the environment variable UPDATE_INSTALLER_DEBUG_MODE set
// to YES, true or a non-zero number) logs every step and operation on the
// standard error.
class InstallerRun {
 public:
  static constexpr const char* kDebugOption = "--debug-mode";
  static constexpr const char* kDebugVariable = "UPDATE_INSTALLER_DEBUG_MODE";

  // Runs the program on its argument list (the program's own path first) and
  // answers its exit status: the result of the last installation that ran.
  static int run(const std::vector<std::string>& arguments);

  // Reads a flag the way user defaults do: YES, true or a non-zero number.
  static bool flagValue(const char* text);
};

}  // namespace hc::installer
