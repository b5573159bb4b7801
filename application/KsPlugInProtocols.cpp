#include "KsPlugInProtocols.h"

namespace rt = hc::runtime;

rt::Protocol* KsPlugInProtocols::PlugInAPI() {
  static rt::Protocol* const protocol = rt::ObtainProtocol("KsPlugInAPI");
  return protocol;
}

rt::Protocol* KsPlugInProtocols::PlugIn() {
  static rt::Protocol* const protocol = rt::ObtainProtocol("KsPlugIn");
  return protocol;
}

rt::Protocol* KsPlugInProtocols::PlugInPrincipal() {
  static rt::Protocol* const protocol = rt::ObtainProtocol("KsPlugInPrincipal");
  return protocol;
}

rt::Protocol* KsPlugInProtocols::AutoUpdatingPlugIn() {
  static rt::Protocol* const protocol = rt::ObtainProtocol("KsAutoUpdatingPlugIn");
  return protocol;
}

rt::Protocol* KsPlugInProtocols::PlugInController() {
  static rt::Protocol* const protocol = rt::ObtainProtocol("KsPlugInController");
  return protocol;
}

rt::Protocol* KsPlugInProtocols::InputDevicePlugInAPI() {
  static rt::Protocol* const protocol = rt::ObtainProtocol("HcInputDevicePlugInAPI", {PlugInAPI()});
  return protocol;
}

rt::Protocol* KsPlugInProtocols::InputDevicePlugIn() {
  static rt::Protocol* const protocol = rt::ObtainProtocol("HcInputDevicePlugIn", {PlugIn()});
  return protocol;
}
