#pragma once

// Stand-in until the resource manager lands.
#include "platform/runtime/Object.h"

class HcResourceManager {
 public:
  static HcResourceManager& defaultResourceManager() {
    static HcResourceManager manager;
    return manager;
  }
  void loadViewsetsIntoContext(hc::runtime::Id) {}
  void loadProjectionsIntoContext(hc::runtime::Id) {}
};
