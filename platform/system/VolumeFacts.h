#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the kernel tells of the volume that holds a path: its line of the
// mount table, and the devices its block device hangs below.
namespace hc::system {

// One line of /proc/self/mountinfo, with the octal escapes of its texts
// (space, tab, line break, backslash) decoded.
struct MountEntry {
  uint32_t major = 0;
  uint32_t minor = 0;
  std::string root;
  std::string mountPoint;
  std::string mountOptions;
  std::string fsType;
  std::string source;
  std::string superOptions;

  // Neither the mount nor its super block is marked "ro".
  bool IsWritable() const;
};

// One device met climbing from a volume's block device toward the machine's
// buses. Texts are empty when the device has no such attribute.
struct DeviceChainEntry {
  std::string name;       // the device's folder name ("sda", "1-1", "0000:00:1f.2")
  std::string subsystem;  // "block", "scsi", "usb", "pci" … ("" for none)
  std::string model;      // a product name: "model", else "product"
  std::string revision;   // "rev", else "firmware_rev"
  std::string vendor;     // "vendor" when it is a name rather than a number
  std::string serial;     // "serial" of a USB device
  std::string manufacturer;
  std::string loopBackingFile;  // the image file behind a loop device
};

// Where the facts are read: tests point these at fixture folders.
struct VolumeFactRoots {
  std::string mountTable = "/proc/self/mountinfo";
  std::string sysfs = "/sys";
};

class VolumeFacts {
 public:
  static constexpr size_t kMaxMountTableBytes = 16u << 20;
  static constexpr size_t kMaxAttributeBytes = 4096;
  static constexpr size_t kMaxChainLength = 64;

  explicit VolumeFacts(VolumeFactRoots roots = {});

  // The entries of mount-table text in file order; lines that don't read
  // as an entry are skipped.
  static std::vector<MountEntry> ParseMountTable(std::string_view text);

  // The mount that holds the path: the entry whose mount point is the
  // longest leading folder of the path with its links resolved (of equal
  // ones, the later, which covers the earlier). kFileErrNotFound when the
  // path does not exist or no entry holds it, kFileErrIO when the table
  // can't be read.
  int FindMountForPath(std::string_view path, MountEntry& mount) const;

  // The devices from the block device major:minor up, ending after the
  // first PCI device or at the top of the device tree. kFileErrNotFound
  // when the kernel has no such block device.
  int ReadDeviceChain(uint32_t major, uint32_t minor, std::vector<DeviceChainEntry>& chain) const;

 private:
  int ReadMountTable(std::vector<MountEntry>& entries) const;

  VolumeFactRoots m_roots;
};

}  // namespace hc::system
