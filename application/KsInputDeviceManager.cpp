#include "KsInputDeviceManager.h"

#include <algorithm>
#include <span>

#include "KsPlugInController.h"
#include "KsPlugInProtocols.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/MessageSend.h"
#include "platform/runtime/Protocol.h"

namespace rt = hc::runtime;

namespace {

rt::Value DevicesValue(const KsInputDeviceManager::Devices& devices) {
  rt::ValueArray array;
  for (const rt::ObjectRef& device : devices) array.push_back(rt::Value::Object(device));
  return rt::Value::Array(std::move(array));
}

}  // namespace

// The run-time entries of the class.
struct KsInputDeviceManagerMethods {
  static KsInputDeviceManager& Self(rt::Id self) { return *static_cast<KsInputDeviceManager*>(self); }

  static rt::RuntimeErr Shared(rt::Id, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
    result = rt::Value::Object(KsInputDeviceManager::SharedDeviceManager());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr Devices(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
    result = DevicesValue(Self(self).InputDevices());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr Available(rt::Id self, const rt::Method&, std::span<const rt::Value>, rt::Value& result) {
    result = DevicesValue(Self(self).AvailableInputDevices());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr Claim(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                              rt::Value& result) {
    result = rt::Value::Bool(Self(self).ClaimDevice(arguments[0].GetObject(), arguments[1].GetObject()));
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr Unclaim(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments, rt::Value&) {
    Self(self).UnclaimDevice(arguments[0].GetObject(), arguments[1].GetObject());
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr IsClaimed(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                  rt::Value& result) {
    result = rt::Value::Bool(Self(self).IsDeviceClaimed(arguments[0].GetObject()));
    return rt::RuntimeErr::Ok;
  }

  static rt::RuntimeErr ClaimNext(rt::Id self, const rt::Method&, std::span<const rt::Value> arguments,
                                  rt::Value& result) {
    result = rt::Value::Object(Self(self).ClaimNextDeviceForOwner(arguments[0].GetObject()));
    return rt::RuntimeErr::Ok;
  }
};

rt::Class* KsInputDeviceManager::GetClass() {
  static rt::Class* const cls = [] {
    rt::Class* made = nullptr;
    if (rt::RuntimeFailed(rt::MakeClass("KsInputDeviceManager", rt::RootClass(), &made))) return made;
    using M = KsInputDeviceManagerMethods;
    made->AddMethods({
        {rt::RegisterSelector("inputDevices"), "@@:", &M::Devices, {}},
        {rt::RegisterSelector("availableInputDevices"), "@@:", &M::Available, {}},
        {rt::RegisterSelector("claimDevice:forOwner:"), "B@:@@", &M::Claim, {}},
        {rt::RegisterSelector("unclaimDevice:fromOwner:"), "v@:@@", &M::Unclaim, {}},
        {rt::RegisterSelector("isDeviceClaimed:"), "B@:@", &M::IsClaimed, {}},
        {rt::RegisterSelector("claimNextDeviceForOwner:"), "@@:@", &M::ClaimNext, {}},
    });
    made->GetMetaclass()->AddMethods({
        {rt::RegisterSelector("sharedDeviceManager"), "@@:", &M::Shared, {}},
    });
    rt::AddProtocol(made, KsPlugInProtocols::InputDevicePlugInAPI());
    return made;
  }();
  return cls;
}

// The plug-ins are made before the claim table exists, so a plug-in can't
// claim a device while it is being made.
KsInputDeviceManager::KsInputDeviceManager(rt::Class* cls, KsPlugInController* controller)
    : NativeObject(cls), m_controller(controller) {}

KsInputDeviceManager* KsInputDeviceManager::SharedDeviceManager() {
  static KsInputDeviceManager* const shared = [] {
    auto* manager = new KsInputDeviceManager(GetClass(), KsPlugInController::SharedPlugInController());
    manager->LoadInputDevices();
    return manager;
  }();
  return shared;
}

rt::ObjectRef KsInputDeviceManager::Make(KsPlugInController* controller) {
  auto* manager = new KsInputDeviceManager(GetClass(), controller);
  manager->LoadInputDevices();
  return rt::ObjectRef::Adopt(manager);
}

KsInputDeviceManager::~KsInputDeviceManager() {
  ownedDevices.clear();
  if (m_controller) static_cast<KsPlugInController*>(m_controller.Get())->CloseHostPlugIns(this);
}

void KsInputDeviceManager::LoadInputDevices() {
  if (!m_controller) return;
  static_cast<KsPlugInController*>(m_controller.Get())
      ->InstantiatePlugInsForAPI(KsPlugInProtocols::InputDevicePlugInAPI(), this);
}

KsInputDeviceManager::Devices KsInputDeviceManager::InputDevices() const {
  if (!m_controller) return {};
  const KsPlugInController::Instances* instances =
      static_cast<const KsPlugInController*>(m_controller.Get())->PlugInInstancesForHost(const_cast<KsInputDeviceManager*>(this));
  if (!instances || instances->empty()) return {};
  rt::Id first = instances->front().Get();
  if (!rt::ConformsToProtocol(rt::ClassOf(first), KsPlugInProtocols::InputDevicePlugIn())) return {};
  rt::Value device;
  if (rt::RuntimeFailed(rt::Send(first, "inputDevice", {}, &device)) || !device.GetObject()) return {};
  return {device.GetObjectRef()};
}

KsInputDeviceManager::Devices KsInputDeviceManager::AvailableInputDevices() const {
  Devices available = InputDevices();
  std::erase_if(available, [this](const rt::ObjectRef& device) { return IsDeviceClaimed(device.Get()); });
  return available;
}

bool KsInputDeviceManager::ClaimDevice(rt::Id device, rt::Id owner) {
  if (!device || IsDeviceClaimed(device)) return false;
  ownedDevices.emplace_back(device, owner);
  return true;
}

void KsInputDeviceManager::UnclaimDevice(rt::Id device, rt::Id owner) {
  std::erase_if(ownedDevices, [device, owner](const auto& claim) {
    return claim.second == owner && (!device || claim.first == device);
  });
}

bool KsInputDeviceManager::IsDeviceClaimed(rt::Id device) const {
  return std::any_of(ownedDevices.begin(), ownedDevices.end(),
                     [device](const auto& claim) { return claim.first == device; });
}

rt::Id KsInputDeviceManager::ClaimNextDeviceForOwner(rt::Id owner) {
  for (const rt::ObjectRef& device : AvailableInputDevices()) {
    if (ClaimDevice(device.Get(), owner)) return device.Get();
  }
  return nullptr;
}
