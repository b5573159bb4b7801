#pragma once

#include "platform/runtime/Protocol.h"

// The protocols of the plug-in mechanism, made on first use. A plug-in API
// is a protocol adopting "KsPlugInAPI"; plug-in classes declare "KsPlugIn"
// (class method "shouldInstantiateForAPIHost:", "initWithPlugInAPIHost:",
// "close"); a bundle's principal class declares "KsPlugInPrincipal" (class
// method "registerPlugInsWithController:") and, when the plug-in takes part
// in automatic updates, "KsAutoUpdatingPlugIn" (class method "moduleName").
// Input-device plug-ins are "HcInputDevicePlugIn" ("inputDevice") serving
// the API "HcInputDevicePlugInAPI".
struct KsPlugInProtocols {
  static hc::runtime::Protocol* PlugInAPI();
  static hc::runtime::Protocol* PlugIn();
  static hc::runtime::Protocol* PlugInPrincipal();
  static hc::runtime::Protocol* AutoUpdatingPlugIn();
  static hc::runtime::Protocol* PlugInController();
  static hc::runtime::Protocol* InputDevicePlugInAPI();
  static hc::runtime::Protocol* InputDevicePlugIn();
};
