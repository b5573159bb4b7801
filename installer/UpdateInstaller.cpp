// UpdateInstaller: applies update packages to an installed copy of the
// application. Usage: UpdateInstaller [--debug-mode] path-to-update-definition...

#include "installer/Source/InstallerRun.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  return hc::installer::InstallerRun::run(arguments);
}
