#include "installer/Source/InstallerRun.h"

#include "installer/Source/InstallerController.h"
#include "installer/Source/PathRules.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <strings.h>

namespace hc::installer {

bool InstallerRun::flagValue(const char* text) {
  if (!text || !*text) return false;
  if (::strcasecmp(text, "YES") == 0 || ::strcasecmp(text, "true") == 0) return true;
  return std::strtol(text, nullptr, 10) != 0;
}

int InstallerRun::run(const std::vector<std::string>& arguments) {
  const std::string processName =
      arguments.empty() ? std::string("UpdateInstaller") : PathRules::lastPathComponent(arguments[0]);
  bool debugMode = flagValue(std::getenv(kDebugVariable));
  std::vector<std::string> definitions;
  bool options = true;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (options && arguments[i] == kDebugOption) {
      debugMode = true;
    } else if (options && arguments[i] == "--") {
      options = false;
    } else {
      definitions.push_back(arguments[i]);
    }
  }
  if (definitions.empty()) {
    std::fprintf(stderr, "usage: %s path-to-update-definition\n", processName.c_str());
    return 0;
  }

  std::vector<std::unique_ptr<InstallerController>> controllers;
  for (const std::string& definition : definitions) {
    controllers.push_back(std::make_unique<InstallerController>(definition, debugMode));
  }
  int result = 0;
  for (auto& controller : controllers) {
    if (result == 0) {
      if (controller->unpackageAndVerify() && controller->duplicateOriginalAndVerify() &&
          controller->installAndVerify()) {
        controller->replaceOriginal();
      }
      controller->cleanup();
      result = controller->returnCode();
    } else {
      controller->cleanup();
    }
  }
  for (auto& controller : controllers) controller->removeWorkingDirectory();
  if (debugMode) std::fprintf(stderr, "%s result: %d\n", processName.c_str(), result);
  return result;
}

}  // namespace hc::installer
