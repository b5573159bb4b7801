#include "NSWorkspace_QzAdditions.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "platform/system/FileErr.h"

namespace hf = hc::foundation;
namespace hs = hc::system;

namespace {

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered;
}

std::string_view TrimmedView(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// The interconnect a bus of the device tree stands for.
std::string_view ConnectionOfSubsystem(std::string_view subsystem) {
  static constexpr std::pair<std::string_view, std::string_view> kConnections[] = {
      {"usb", "USB"},     {"pci", "PCI"},     {"scsi", "SCSI"},         {"ata", "ATA"},
      {"nvme", "NVMe"},   {"virtio", "Virtio"}, {"mmc", "MMC"},         {"firewire", "FireWire"},
      {"ieee1394", "FireWire"}, {"thunderbolt", "Thunderbolt"},
  };
  for (const auto& [name, connection] : kConnections) {
    if (name == subsystem) return connection;
  }
  return {};
}

// Network file systems whose mounted-from text is the server's address.
bool IsNetworkFileSystem(std::string_view type) {
  static constexpr std::string_view kTypes[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "davfs", "fuse.sshfs"};
  return std::find(std::begin(kTypes), std::end(kTypes), type) != std::end(kTypes);
}

std::string StringItem(const hf::PlistValue& dictionary, const char* key) {
  const hf::PlistValue* item = dictionary.GetItem(key);
  const std::string* text = item ? item->AsString() : nullptr;
  return text ? *text : std::string();
}

void MergeInto(hf::PlistValue& properties, const char* key, std::string_view added) {
  const std::string merged = NSWorkspace_QzAdditions::MergeText(StringItem(properties, key), added);
  if (!merged.empty()) properties.SetItem(key, hf::PlistValue::FromString(merged));
}

}  // namespace

NSWorkspace_QzAdditions::NSWorkspace_QzAdditions(hs::VolumeFactRoots roots) : m_facts(std::move(roots)) {}

std::string NSWorkspace_QzAdditions::MergeText(const std::string& existing, std::string_view added) {
  const std::string_view trimmed = TrimmedView(added);
  if (trimmed.empty()) return existing;
  if (existing.empty()) return std::string(trimmed);
  const std::string existingLower = Lowered(existing);
  const std::string addedLower = Lowered(trimmed);
  if (existingLower.find(addedLower) != std::string::npos) return existing;
  if (addedLower.find(existingLower) != std::string::npos) return std::string(trimmed);
  return existing + "; " + std::string(trimmed);
}

hf::PlistValue NSWorkspace_QzAdditions::PropertiesForPath(std::string_view path) const {
  hs::MountEntry mount;
  if (m_facts.FindMountForPath(path, mount) != hs::kFileErrNone) return {};
  hf::PlistValue properties = hf::PlistValue::NewDictionary();
  properties.SetItem(kFsTypeNameKey, hf::PlistValue::FromString(mount.fsType));
  properties.SetItem(kMountOnNameKey, hf::PlistValue::FromString(mount.mountPoint));
  if (mount.source.starts_with("/dev/")) {
    AddDeviceFacts(mount, properties);
  } else if (IsNetworkFileSystem(mount.fsType) && !mount.source.empty()) {
    properties.SetItem(kServerUrlKey, hf::PlistValue::FromString(mount.source));
  }
  properties.SetItem(kMountFromNameKey, hf::PlistValue::FromString(mount.source));
  return properties;
}

// Climbs from the volume's block device toward the machine's buses; facts
// found higher up replace those found lower down, and the climb ends after
// the PCI device.
void NSWorkspace_QzAdditions::AddDeviceFacts(const hs::MountEntry& mount, hf::PlistValue& properties) const {
  std::vector<hs::DeviceChainEntry> chain;
  if (m_facts.ReadDeviceChain(mount.major, mount.minor, chain) != hs::kFileErrNone) return;
  std::string description;
  for (const hs::DeviceChainEntry& device : chain) {
    if (!device.loopBackingFile.empty()) {
      properties.SetItem(kImageFilePathKey, hf::PlistValue::FromString(device.loopBackingFile));
    }
    MergeInto(properties, kConnectionTypeKey, ConnectionOfSubsystem(device.subsystem));
    for (const std::string* text : {&device.model, &device.revision, &device.vendor, &device.serial,
                                    &device.manufacturer}) {
      description = MergeText(description, *text);
    }
  }
  if (!description.empty()) properties.SetItem(kDeviceInfoKey, hf::PlistValue::FromString(description));
}

bool NSWorkspace_QzAdditions::PathIsWithinDiskImage(std::string_view path) const {
  return PropertiesForPath(path).GetItem(kImageFilePathKey) != nullptr;
}

bool NSWorkspace_QzAdditions::GetFileSystemInfoForPath(std::string_view path, bool* isWritable) const {
  hs::MountEntry mount;
  if (m_facts.FindMountForPath(path, mount) != hs::kFileErrNone) return false;
  if (isWritable) *isWritable = mount.IsWritable();
  return true;
}
