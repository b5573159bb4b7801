#pragma once

#include <utility>
#include <vector>

#include "platform/runtime/NativeObject.h"
#include "platform/runtime/ObjectRef.h"

class KsPlugInController;

// The host of the input-device plug-ins: it has the plug-in controller make
// the instances of "HcInputDevicePlugInAPI" for it, offers their devices and
// hands a device to one owner at a time. Devices and owners are opaque: they
// are stored and told apart by identity, never sent a message, and not
// retained (a claim lasts until its owner releases it).
//
// The run-time class "KsInputDeviceManager" declares "HcInputDevicePlugInAPI"
// and answers "sharedDeviceManager" (class method), "inputDevices",
// "availableInputDevices", "claimDevice:forOwner:", "unclaimDevice:fromOwner:",
// "isDeviceClaimed:" and "claimNextDeviceForOwner:", so that plug-ins and
// other components reach it.
class KsInputDeviceManager : public hc::runtime::NativeObject {
 public:
  using Devices = std::vector<hc::runtime::ObjectRef>;

  static hc::runtime::Class* GetClass();
  // The manager of the process, over the shared plug-in controller, made on
  // first use and kept for the run.
  static KsInputDeviceManager* SharedDeviceManager();
  // A manager over the given controller (one reference, owned by the
  // caller); it instantiates the plug-ins at once.
  static hc::runtime::ObjectRef Make(KsPlugInController* controller);
  ~KsInputDeviceManager() override;

  void LoadInputDevices();
  // The device of the first plug-in instance, asked for afresh; none when
  // that instance offers none.
  Devices InputDevices() const;
  // The devices on offer that nobody has claimed, in the same order.
  Devices AvailableInputDevices() const;
  // False when the device is claimed already (by anyone) or null.
  bool ClaimDevice(hc::runtime::Id device, hc::runtime::Id owner);
  // Frees the device when that owner holds it; a null device frees every
  // device the owner holds.
  void UnclaimDevice(hc::runtime::Id device, hc::runtime::Id owner);
  bool IsDeviceClaimed(hc::runtime::Id device) const;
  // Claims the first available device; null when there is none.
  hc::runtime::Id ClaimNextDeviceForOwner(hc::runtime::Id owner);

 private:
  KsInputDeviceManager(hc::runtime::Class* cls, KsPlugInController* controller);
  friend struct KsInputDeviceManagerMethods;

  hc::runtime::ObjectRef m_controller;
  // Device and owner of each claim.
  std::vector<std::pair<hc::runtime::Id, hc::runtime::Id>> ownedDevices;
};
