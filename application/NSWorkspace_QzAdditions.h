#pragma once

#include <string>
#include <string_view>

#include "platform/foundation/PlistValue.h"
#include "platform/system/VolumeFacts.h"

// What the system knows about the volume that holds a path, and whether that
// volume is a mounted disk image: on this system, a loop device backed by an
// image file.
class NSWorkspace_QzAdditions {
 public:
  // Keys of the volume dictionary; a key is present only when a value was found.
  static constexpr const char* kFsTypeNameKey = "NSWorkspace_Qzfstypename";
  static constexpr const char* kMountOnNameKey = "NSWorkspace_Qzmntonname";
  static constexpr const char* kMountFromNameKey = "NSWorkspace_Qzmntfromname";
  static constexpr const char* kDeviceInfoKey = "NSWorkspace_Qzdeviceinfo";
  static constexpr const char* kConnectionTypeKey = "NSWorkspace_Qzconnectiontype";
  static constexpr const char* kImageFilePathKey = "NSWorkspace_Qzimagefilepath";
  static constexpr const char* kServerUrlKey = "NSWorkspace_QzserverURL";

  explicit NSWorkspace_QzAdditions(hc::system::VolumeFactRoots roots = {});

  // The volume dictionary, or a null value when the path's file-system
  // information can't be read (the path does not exist, or no mount holds it).
  hc::foundation::PlistValue PropertiesForPath(std::string_view path) const;
  // True exactly when the volume dictionary names a backing image file.
  bool PathIsWithinDiskImage(std::string_view path) const;
  // Whether the volume holding the path may be written; false when its
  // file-system information can't be read.
  bool GetFileSystemInfoForPath(std::string_view path, bool* isWritable) const;

  // Merges a new text into an existing one: the new text trimmed; kept out
  // when the existing one holds it, taking its place when it holds the
  // existing one (both ignoring case), else appended after "; ".
  static std::string MergeText(const std::string& existing, std::string_view added);

 private:
  void AddDeviceFacts(const hc::system::MountEntry& mount, hc::foundation::PlistValue& properties) const;

  hc::system::VolumeFacts m_facts;
};
