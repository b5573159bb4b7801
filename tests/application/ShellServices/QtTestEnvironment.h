#pragma once

#include <filesystem>
#include <string>

#include "FileTestSupport.h"

// The suite's scratch folder: "config" ($XDG_CONFIG_HOME), "state"
// ($XDG_STATE_HOME), "data" ($XDG_DATA_HOME) and "tmp" ($TMPDIR).
struct QtTestEnvironment {
  static ScratchFolder* scratch;
  static std::string Path(const std::string& name) { return *scratch / name; }
};
